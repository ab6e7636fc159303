#include "formula/func_list.h"

#include "formula/front_end.h"

namespace vantor {

void TFunclist::Add(std::string_view name, SubFunc sf1, std::string_view note) {
    std::string key = LowerAscii(name);
    if (index_.count(key)) {
        if (host) host->Message("函数表已存在:" + key);
        return;
    }
    if (static_cast<int>(namelist.size()) >= kCapacity) return;
    index_.emplace(key, static_cast<int>(namelist.size()));
    namelist.push_back(std::move(key));
    notelist.emplace_back(note);
    sf.push_back(sf1);
}

int TFunclist::IndexOf(std::string_view name) const {
    if (name.empty()) return -1;
    auto it = index_.find(LowerAscii(name));
    return it == index_.end() ? -1 : it->second;
}

SubFunc TFunclist::getfunc(std::string_view name) const {
    int i = IndexOf(name);
    return i < 0 ? nullptr : sf[static_cast<size_t>(i)];
}

std::string TFunclist::getnote(std::string_view name) const {
    int i = IndexOf(name);
    if (i < 0) {
        if (host) host->Message("不存在函数:" + std::string(name));
        return {};
    }
    return notelist[static_cast<size_t>(i)];
}

void TFunclist::getfunclist(std::vector<std::string>* Funclist) const {
    if (Funclist) *Funclist = namelist;
}

} // namespace vantor
