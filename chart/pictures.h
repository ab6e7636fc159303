#pragma once
// Picture files a formula draws (signals under the program folder, backgrounds in it),
// found without regard to letter case and read in any format Qt reads. A picture is read
// once and read again only when its file changes.

#include <QImage>
#include <string>

namespace vantor {

// The picture at `relative` ('/'-separated) under `dir`; a null image when there is no
// such file or it cannot be read.
const QImage& Picture(const std::string& dir, const std::string& relative);

} // namespace vantor
