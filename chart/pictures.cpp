#include "chart/pictures.h"

#include <QDateTime>
#include <QFileInfo>
#include <map>

#include "market/data_files.h"

namespace vantor {

const QImage& Picture(const std::string& dir, const std::string& relative) {
    struct Kept {
        QDateTime modified;
        qint64 size = -1;
        QImage image;
    };
    // Painting happens on one thread; each thread keeps its own pictures.
    thread_local std::map<std::string, Kept> kept;
    static const QImage none;
    // Only files inside the folder: no step up, no other separator.
    if (relative.find('\\') != std::string::npos || relative.find("..") != std::string::npos)
        return none;
    const std::string path = FindPathNoCase(dir.empty() ? "." : dir, relative);
    const QFileInfo info(QString::fromStdString(path));
    if (!info.isFile()) {
        kept.erase(path);
        return none;
    }
    if (kept.size() > 64) kept.clear();
    Kept& k = kept[path];
    if (k.size != info.size() || k.modified != info.lastModified()) {
        k.modified = info.lastModified();
        k.size = info.size();
        k.image = QImage(info.filePath());
    }
    return k.image;
}

} // namespace vantor
