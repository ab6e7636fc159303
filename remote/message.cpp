#include "remote/message.h"

#include <limits>
#include <msgpack.hpp>

namespace vantor {

namespace {

// Splits "a.b/c\d" into its keys; empty keys (doubled separators) are skipped.
std::vector<std::string_view> SplitPath(std::string_view path) {
    std::vector<std::string_view> keys;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '.' || path[i] == '/' || path[i] == '\\') {
            if (i > start) keys.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return keys;
}

// The packer's output stream: appends to a string.
struct StringSink {
    std::string& out;
    void write(const char* p, std::size_t n) { out.append(p, n); }
};

} // namespace

const TMsgPack* TMsgPack::Find(std::string_view path) const {
    const TMsgPack* node = this;
    for (std::string_view key : SplitPath(path)) {
        if (node->kind_ != Kind::Map) return nullptr;
        const TMsgPack* next = nullptr;
        for (const auto& [k, v] : node->map_)
            if (k == key) {
                next = &v;
                break;
            }
        if (!next) return nullptr;
        node = next;
    }
    return node;
}

TMsgPack* TMsgPack::Force(std::string_view path) {
    TMsgPack* node = this;
    for (std::string_view key : SplitPath(path)) {
        if (node->kind_ != Kind::Map) {
            node->Clear();
            node->kind_ = Kind::Map;
        }
        TMsgPack* next = nullptr;
        for (auto& [k, v] : node->map_)
            if (k == key) {
                next = &v;
                break;
            }
        if (!next) next = &node->map_.emplace_back(std::string(key), TMsgPack()).second;
        node = next;
    }
    return node;
}

void TMsgPack::Clear() {
    *this = TMsgPack();
}

bool TMsgPack::AsBool() const {
    switch (kind_) {
    case Kind::Bool:
        return bool_;
    case Kind::Int:
    case Kind::UInt:
        return int_ != 0;
    case Kind::Float:
        return float_ != 0;
    case Kind::Str:
        return bytes_ == "true" || bytes_ == "True" || bytes_ == "1";
    default:
        return false;
    }
}

double TMsgPack::AsFloat() const {
    if (kind_ == Kind::Float) return float_;
    if (kind_ == Kind::UInt) return static_cast<double>(static_cast<std::uint64_t>(int_));
    return static_cast<double>(AsInt());
}

std::int64_t TMsgPack::AsInt() const {
    switch (kind_) {
    case Kind::Bool:
        return bool_ ? 1 : 0;
    case Kind::Int:
    case Kind::UInt:
        return int_;
    case Kind::Float:
        // Out-of-range and NaN values read as 0 rather than overflow the conversion.
        if (float_ >= -9.2e18 && float_ <= 9.2e18) return static_cast<std::int64_t>(float_);
        return 0;
    default:
        return 0;
    }
}

bool TMsgPack::B(std::string_view path) const {
    const TMsgPack* v = Find(path);
    return v && v->AsBool();
}

std::int64_t TMsgPack::I(std::string_view path) const {
    const TMsgPack* v = Find(path);
    return v ? v->AsInt() : 0;
}

std::string TMsgPack::S(std::string_view path) const {
    const std::string* b = Bytes(path);
    return b ? *b : std::string();
}

const std::string* TMsgPack::Bytes(std::string_view path) const {
    const TMsgPack* v = Find(path);
    return v && (v->kind_ == Kind::Str || v->kind_ == Kind::Bin) ? &v->bytes_ : nullptr;
}

void TMsgPack::SetB(std::string_view path, bool v) {
    TMsgPack* n = Force(path);
    n->Clear();
    n->kind_ = Kind::Bool;
    n->bool_ = v;
}

void TMsgPack::SetI(std::string_view path, std::int64_t v) {
    TMsgPack* n = Force(path);
    n->Clear();
    n->kind_ = Kind::Int;
    n->int_ = v;
}

void TMsgPack::SetS(std::string_view path, std::string v) {
    TMsgPack* n = Force(path);
    n->Clear();
    n->kind_ = Kind::Str;
    n->bytes_ = std::move(v);
}

void TMsgPack::SetBin(std::string_view path, std::string bytes) {
    TMsgPack* n = Force(path);
    n->Clear();
    n->kind_ = Kind::Bin;
    n->bytes_ = std::move(bytes);
}

namespace {

void Pack(msgpack::packer<StringSink>& pk, const TMsgPack& v);

} // namespace

void TMsgPack::Encode(std::string& out) const {
    StringSink sink{out};
    msgpack::packer<StringSink> pk(sink);
    Pack(pk, *this);
}

// Builds a TMsgPack tree from the parser's events. The node being filled is found through
// a stack of the open arrays and maps; a parent's vector never grows while a child of it is
// open, so the pointers on the stack stay valid.
struct MsgPackBuilder : msgpack::null_visitor {
    TMsgPack& root;
    std::vector<TMsgPack*> open;
    bool rootTaken = false;
    bool inKey = false;

    explicit MsgPackBuilder(TMsgPack& r) : root(r) {}

    TMsgPack* NextSlot() {
        if (open.empty()) {
            if (rootTaken) return nullptr;
            rootTaken = true;
            return &root;
        }
        TMsgPack* parent = open.back();
        if (parent->kind_ == TMsgPack::Kind::Array) return &parent->items_.emplace_back();
        if (parent->map_.empty()) return nullptr;
        return &parent->map_.back().second;
    }
    bool Leaf(TMsgPack::Kind kind, auto&& fill) {
        if (inKey) return false; // map keys must be text
        TMsgPack* slot = NextSlot();
        if (!slot) return false;
        slot->kind_ = kind;
        fill(*slot);
        return true;
    }

    bool visit_nil() {
        return Leaf(TMsgPack::Kind::Nil, [](TMsgPack&) {});
    }
    bool visit_boolean(bool v) {
        return Leaf(TMsgPack::Kind::Bool, [v](TMsgPack& s) { s.bool_ = v; });
    }
    bool visit_positive_integer(std::uint64_t v) {
        bool fits = v <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
        return Leaf(fits ? TMsgPack::Kind::Int : TMsgPack::Kind::UInt,
                    [v](TMsgPack& s) { s.int_ = static_cast<std::int64_t>(v); });
    }
    bool visit_negative_integer(std::int64_t v) {
        return Leaf(TMsgPack::Kind::Int, [v](TMsgPack& s) { s.int_ = v; });
    }
    bool visit_float32(float v) { return visit_float64(v); }
    bool visit_float64(double v) {
        return Leaf(TMsgPack::Kind::Float, [v](TMsgPack& s) { s.float_ = v; });
    }
    bool visit_str(const char* p, std::uint32_t n) {
        if (inKey) {
            if (open.empty()) return false;
            open.back()->map_.emplace_back(std::string(p, n), TMsgPack());
            return true;
        }
        return Leaf(TMsgPack::Kind::Str, [p, n](TMsgPack& s) { s.bytes_.assign(p, n); });
    }
    bool visit_bin(const char* p, std::uint32_t n) {
        return Leaf(TMsgPack::Kind::Bin, [p, n](TMsgPack& s) { s.bytes_.assign(p, n); });
    }
    // Extension values carry nothing the file service uses; they read as nil.
    bool visit_ext(const char*, std::uint32_t) { return visit_nil(); }

    bool StartContainer(TMsgPack::Kind kind) {
        if (inKey || open.size() >= static_cast<std::size_t>(TMsgPack::kMaxDepth)) return false;
        TMsgPack* slot = NextSlot();
        if (!slot) return false;
        slot->kind_ = kind;
        open.push_back(slot);
        return true;
    }
    // The element counts are not reserved: they come from the input and may be forged.
    bool start_array(std::uint32_t) { return StartContainer(TMsgPack::Kind::Array); }
    bool end_array() {
        open.pop_back();
        return true;
    }
    bool start_map(std::uint32_t) { return StartContainer(TMsgPack::Kind::Map); }
    bool start_map_key() {
        inKey = true;
        return true;
    }
    bool end_map_key() {
        inKey = false;
        return true;
    }
    bool end_map() {
        open.pop_back();
        return true;
    }
};

bool TMsgPack::Decode(std::string_view data) {
    Clear();
    MsgPackBuilder builder(*this);
    std::size_t off = 0;
    bool ok = false;
    try {
        ok = msgpack::parse(data.data(), data.size(), off, builder);
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok || off != data.size() || kind_ != Kind::Map) {
        Clear();
        return false;
    }
    return true;
}

namespace {

void Pack(msgpack::packer<StringSink>& pk, const TMsgPack& v) {
    using Kind = TMsgPack::Kind;
    switch (v.kind()) {
    case Kind::Nil:
        pk.pack_nil();
        break;
    case Kind::Bool:
        v.AsBool() ? pk.pack_true() : pk.pack_false();
        break;
    case Kind::Int:
        pk.pack_int64(v.AsInt());
        break;
    case Kind::UInt:
        pk.pack_uint64(static_cast<std::uint64_t>(v.AsInt()));
        break;
    case Kind::Float:
        pk.pack_double(v.AsFloat());
        break;
    case Kind::Str: {
        const std::string* s = v.Bytes("");
        pk.pack_str(static_cast<std::uint32_t>(s->size()));
        pk.pack_str_body(s->data(), static_cast<std::uint32_t>(s->size()));
        break;
    }
    case Kind::Bin: {
        const std::string* s = v.Bytes("");
        pk.pack_bin(static_cast<std::uint32_t>(s->size()));
        pk.pack_bin_body(s->data(), static_cast<std::uint32_t>(s->size()));
        break;
    }
    case Kind::Array:
        pk.pack_array(static_cast<std::uint32_t>(v.Items().size()));
        for (const TMsgPack& item : v.Items()) Pack(pk, item);
        break;
    case Kind::Map:
        pk.pack_map(static_cast<std::uint32_t>(v.Entries().size()));
        for (const auto& [key, value] : v.Entries()) {
            pk.pack_str(static_cast<std::uint32_t>(key.size()));
            pk.pack_str_body(key.data(), static_cast<std::uint32_t>(key.size()));
            Pack(pk, value);
        }
        break;
    }
}

} // namespace

} // namespace vantor
