#pragma once
// Builds a binary property list ("bplist00") object by object and writes it in one pass: ints and
// UIDs in their smallest width, strings as ASCII when possible else UTF-16BE, the smallest ref and
// offset sizes. Large data can be borrowed and goes straight from the caller's buffer to the sink.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace fnd {

class BinaryPlistWriter {
public:
    using Ref = uint64_t; // index of an object in the file
    // Receives the file in order; returns false to stop writing.
    using Sink = std::function<bool(const uint8_t* data, size_t size)>;

    Ref addBool(bool value);
    Ref addInt(int64_t value);
    Ref addReal32(float value);
    Ref addReal64(double value);
    // `utf8` must be valid UTF-8. Equal strings share one object.
    Ref addString(std::string_view utf8);
    Ref addData(std::span<const uint8_t> bytes);       // copied now
    Ref addData(std::vector<uint8_t>&& bytes);         // taken over
    Ref addDataNoCopy(std::span<const uint8_t> bytes); // borrowed: must outlive write()
    Ref addUid(uint64_t value);
    Ref addArray(std::vector<Ref> elements);
    Ref addDict(const std::vector<std::pair<Ref, Ref>>& entries);

    // A container whose contents are known only later (a parent numbered before its children).
    Ref reserve();
    void defineArray(Ref placeholder, std::vector<Ref> elements);
    void defineDict(Ref placeholder, const std::vector<std::pair<Ref, Ref>>& entries);

    void setTop(Ref top) { m_top = top; }

    uint64_t fileSize() const;
    // The file's size were it written now with every container still reserved left empty: what
    // defining them adds comes on top.
    uint64_t sizeSoFar() const;
    bool write(const Sink& sink) const;
    std::vector<uint8_t> bytes() const;

private:
    enum class Kind : uint8_t { Placeholder, Bool, Int, Real32, Real64, Data, Ascii, Utf16, Uid, Array, Dict };
    struct Node {
        Kind kind = Kind::Placeholder;
        uint64_t scalar = 0;              // bool, int bits, real bits, UID
        std::vector<uint8_t> owned;       // copied data or encoded string
        std::span<const uint8_t> payload; // data or string bytes (owned or borrowed)
        std::vector<Ref> refs;            // array elements; dict keys then values
    };
    struct Layout {
        unsigned refSize = 1;
        unsigned offsetSize = 1;
        std::vector<uint64_t> offsets;
        uint64_t tableOffset = 0;
    };
    class Output;

    Ref add(Node node);
    Layout layout() const;
    uint64_t encodedSize(const Node& node, unsigned refSize) const;
    void writeNode(Output& out, const Node& node, unsigned refSize) const;

    std::vector<Node> m_nodes;
    std::unordered_map<std::string, Ref> m_strings;
    Ref m_top = 0;
};

} // namespace fnd
