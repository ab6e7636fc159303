#pragma once
// TMsgPack: one message of the file service, a tree of MessagePack values whose maps are
// reached by key paths ("cmd.index" is the key "index" inside the map under "cmd"; "/" and
// "\" separate keys as well). It encodes to and decodes from the MessagePack format.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantor {

class TMsgPack {
public:
    enum class Kind : std::uint8_t { Nil, Bool, Int, UInt, Float, Str, Bin, Array, Map };

    Kind kind() const { return kind_; }
    bool IsNil() const { return kind_ == Kind::Nil; }

    // --- reading by path; a missing path or a value of another kind reads as the default ---
    const TMsgPack* Find(std::string_view path) const;
    bool B(std::string_view path) const;
    std::int64_t I(std::string_view path) const;
    std::string S(std::string_view path) const; // text, or the bytes of a binary value
    // The bytes of a binary or text value; nullptr when the path holds neither.
    const std::string* Bytes(std::string_view path) const;

    // --- writing by path; missing maps on the way are created, other values replaced ---
    void SetB(std::string_view path, bool v);
    void SetI(std::string_view path, std::int64_t v);
    void SetS(std::string_view path, std::string v);
    void SetBin(std::string_view path, std::string bytes);

    void Clear();

    // Values of this node (for the kinds that hold them).
    bool AsBool() const;
    std::int64_t AsInt() const;
    double AsFloat() const;
    const std::vector<std::pair<std::string, TMsgPack>>& Entries() const { return map_; }
    const std::vector<TMsgPack>& Items() const { return items_; }

    // Appends the MessagePack encoding of this value to `out`.
    void Encode(std::string& out) const;
    // Replaces this value by the one MessagePack value that `data` holds; the top level must
    // be a map with text keys and no bytes may follow it. Returns false (and leaves this
    // value empty) on malformed input; nesting deeper than kMaxDepth is malformed too.
    bool Decode(std::string_view data);

    static constexpr int kMaxDepth = 32;

private:
    friend struct MsgPackBuilder;
    TMsgPack* Force(std::string_view path);

    Kind kind_ = Kind::Nil;
    bool bool_ = false;
    std::int64_t int_ = 0; // Int; UInt keeps its bits here
    double float_ = 0;
    std::string bytes_; // Str, Bin
    std::vector<TMsgPack> items_;
    std::vector<std::pair<std::string, TMsgPack>> map_;
};

} // namespace vantor
