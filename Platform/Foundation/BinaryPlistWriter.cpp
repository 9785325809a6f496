#include "Foundation/BinaryPlistWriter.h"

#include <bit>

#include "Foundation/Assert.h"
#include "Foundation/BinaryPlistFormat.h"
#include "Foundation/BinaryPlistUnicode.h"

namespace fnd {

using namespace bplist;

namespace {
// Payloads at least this large bypass the staging buffer.
constexpr size_t kDirectWriteSize = 16 * 1024;
constexpr size_t kStagingSize = 64 * 1024;

uint64_t countSize(uint64_t count) { return count < kCountFollows ? 0 : 1 + unsignedWidth(count); }

unsigned intWidth(int64_t value) { return value < 0 ? 8 : unsignedWidth(static_cast<uint64_t>(value)); }
} // namespace

// Collects small pieces into one buffer so the sink sees few, large writes.
class BinaryPlistWriter::Output {
public:
    explicit Output(const Sink& sink) : m_sink(sink) { m_staging.reserve(kStagingSize); }

    void byte(uint8_t value) { put(&value, 1); }
    void number(uint64_t value, unsigned width)
    {
        uint8_t bytes[8];
        writeBigEndian(bytes, value, width);
        put(bytes, width);
    }
    void put(const uint8_t* data, size_t size)
    {
        if (size >= kDirectWriteSize) {
            flush();
            m_ok = m_ok && m_sink(data, size);
            return;
        }
        if (m_staging.size() + size > kStagingSize)
            flush();
        m_staging.insert(m_staging.end(), data, data + size);
    }
    bool flush()
    {
        if (!m_staging.empty())
            m_ok = m_ok && m_sink(m_staging.data(), m_staging.size());
        m_staging.clear();
        return m_ok;
    }

private:
    const Sink& m_sink;
    std::vector<uint8_t> m_staging;
    bool m_ok = true;
};

BinaryPlistWriter::Ref BinaryPlistWriter::add(Node node)
{
    m_nodes.push_back(std::move(node));
    return m_nodes.size() - 1;
}

BinaryPlistWriter::Ref BinaryPlistWriter::addBool(bool value) { return add({Kind::Bool, value, {}, {}, {}}); }

BinaryPlistWriter::Ref BinaryPlistWriter::addInt(int64_t value)
{
    return add({Kind::Int, std::bit_cast<uint64_t>(value), {}, {}, {}});
}

BinaryPlistWriter::Ref BinaryPlistWriter::addReal32(float value)
{
    return add({Kind::Real32, std::bit_cast<uint32_t>(value), {}, {}, {}});
}

BinaryPlistWriter::Ref BinaryPlistWriter::addReal64(double value)
{
    return add({Kind::Real64, std::bit_cast<uint64_t>(value), {}, {}, {}});
}

BinaryPlistWriter::Ref BinaryPlistWriter::addString(std::string_view utf8)
{
    KANVARO_ASSERT(isValidUtf8(utf8));
    if (auto known = m_strings.find(std::string(utf8)); known != m_strings.end())
        return known->second;
    Node node;
    node.kind = isAscii(utf8) ? Kind::Ascii : Kind::Utf16;
    const std::string encoded = node.kind == Kind::Ascii ? std::string(utf8) : utf8ToUtf16BE(utf8);
    node.owned.assign(encoded.begin(), encoded.end());
    node.payload = node.owned;
    const Ref ref = add(std::move(node));
    m_strings.emplace(utf8, ref);
    return ref;
}

BinaryPlistWriter::Ref BinaryPlistWriter::addData(std::span<const uint8_t> bytes)
{
    return addData(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

BinaryPlistWriter::Ref BinaryPlistWriter::addData(std::vector<uint8_t>&& bytes)
{
    Node node;
    node.kind = Kind::Data;
    node.owned = std::move(bytes);
    node.payload = node.owned; // the heap block stays put when the node moves
    return add(std::move(node));
}

BinaryPlistWriter::Ref BinaryPlistWriter::addDataNoCopy(std::span<const uint8_t> bytes)
{
    return add({Kind::Data, 0, {}, bytes, {}});
}

BinaryPlistWriter::Ref BinaryPlistWriter::addUid(uint64_t value) { return add({Kind::Uid, value, {}, {}, {}}); }

BinaryPlistWriter::Ref BinaryPlistWriter::addArray(std::vector<Ref> elements)
{
    const Ref ref = reserve();
    defineArray(ref, std::move(elements));
    return ref;
}

BinaryPlistWriter::Ref BinaryPlistWriter::addDict(const std::vector<std::pair<Ref, Ref>>& entries)
{
    const Ref ref = reserve();
    defineDict(ref, entries);
    return ref;
}

BinaryPlistWriter::Ref BinaryPlistWriter::reserve() { return add({}); }

void BinaryPlistWriter::defineArray(Ref placeholder, std::vector<Ref> elements)
{
    KANVARO_ASSERT(placeholder < m_nodes.size() && m_nodes[placeholder].kind == Kind::Placeholder);
    m_nodes[placeholder].kind = Kind::Array;
    m_nodes[placeholder].refs = std::move(elements);
}

void BinaryPlistWriter::defineDict(Ref placeholder, const std::vector<std::pair<Ref, Ref>>& entries)
{
    KANVARO_ASSERT(placeholder < m_nodes.size() && m_nodes[placeholder].kind == Kind::Placeholder);
    Node& node = m_nodes[placeholder];
    node.kind = Kind::Dict;
    node.refs.resize(2 * entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        node.refs[i] = entries[i].first;
        node.refs[entries.size() + i] = entries[i].second;
    }
}

uint64_t BinaryPlistWriter::encodedSize(const Node& node, unsigned refSize) const
{
    switch (node.kind) {
    case Kind::Bool: return 1;
    case Kind::Int: return 1 + intWidth(std::bit_cast<int64_t>(node.scalar));
    case Kind::Real32: return 5;
    case Kind::Real64: return 9;
    case Kind::Uid: return 1 + unsignedWidth(node.scalar);
    case Kind::Data:
    case Kind::Ascii: return 1 + countSize(node.payload.size()) + node.payload.size();
    case Kind::Utf16: return 1 + countSize(node.payload.size() / 2) + node.payload.size();
    case Kind::Array: return 1 + countSize(node.refs.size()) + node.refs.size() * refSize;
    case Kind::Dict: return 1 + countSize(node.refs.size() / 2) + node.refs.size() * refSize;
    case Kind::Placeholder: break;
    }
    KANVARO_ASSERT(false && "placeholder never defined");
}

BinaryPlistWriter::Layout BinaryPlistWriter::layout() const
{
    Layout result;
    result.refSize = unsignedWidth(m_nodes.size()); // smallest s with N < 2^(8s)
    uint64_t offset = kMagicSize;
    result.offsets.reserve(m_nodes.size());
    for (const Node& node : m_nodes) {
        result.offsets.push_back(offset);
        offset += encodedSize(node, result.refSize);
    }
    result.tableOffset = offset;
    result.offsetSize = unsignedWidth(offset);
    return result;
}

uint64_t BinaryPlistWriter::fileSize() const
{
    const Layout l = layout();
    return l.tableOffset + m_nodes.size() * l.offsetSize + kTrailerSize;
}

uint64_t BinaryPlistWriter::sizeSoFar() const
{
    const unsigned refSize = unsignedWidth(m_nodes.size());
    uint64_t offset = kMagicSize;
    for (const Node& node : m_nodes)
        offset += node.kind == Kind::Placeholder ? 1 : encodedSize(node, refSize);
    return offset + m_nodes.size() * unsignedWidth(offset) + kTrailerSize;
}

void BinaryPlistWriter::writeNode(Output& out, const Node& node, unsigned refSize) const
{
    auto header = [&](uint8_t high, uint64_t count) {
        out.byte(static_cast<uint8_t>((high << 4) | (count < kCountFollows ? count : kCountFollows)));
        if (count >= kCountFollows) {
            const unsigned width = unsignedWidth(count);
            out.byte(static_cast<uint8_t>((kMarkerInt << 4) | std::countr_zero(width)));
            out.number(count, width);
        }
    };
    switch (node.kind) {
    case Kind::Bool: out.byte(node.scalar ? kTrue : kFalse); return;
    case Kind::Int: {
        const unsigned width = intWidth(std::bit_cast<int64_t>(node.scalar));
        out.byte(static_cast<uint8_t>((kMarkerInt << 4) | std::countr_zero(width)));
        out.number(node.scalar, width);
        return;
    }
    case Kind::Real32: out.byte(kReal32), out.number(node.scalar, 4); return;
    case Kind::Real64: out.byte(kReal64), out.number(node.scalar, 8); return;
    case Kind::Uid: {
        const unsigned width = unsignedWidth(node.scalar);
        out.byte(static_cast<uint8_t>((kMarkerUid << 4) | (width - 1)));
        out.number(node.scalar, width);
        return;
    }
    case Kind::Data: header(kMarkerData, node.payload.size()); break;
    case Kind::Ascii: header(kMarkerAscii, node.payload.size()); break;
    case Kind::Utf16: header(kMarkerUtf16, node.payload.size() / 2); break;
    case Kind::Array: header(kMarkerArray, node.refs.size()); break;
    case Kind::Dict: header(kMarkerDict, node.refs.size() / 2); break;
    case Kind::Placeholder: KANVARO_ASSERT(false && "placeholder never defined");
    }
    out.put(node.payload.data(), node.payload.size());
    for (Ref ref : node.refs) {
        KANVARO_ASSERT(ref < m_nodes.size());
        out.number(ref, refSize);
    }
}

bool BinaryPlistWriter::write(const Sink& sink) const
{
    KANVARO_ASSERT(m_top < m_nodes.size());
    const Layout l = layout();
    Output out(sink);
    out.put(kMagic, kMagicSize);
    for (const Node& node : m_nodes)
        writeNode(out, node, l.refSize);
    for (uint64_t offset : l.offsets)
        out.number(offset, l.offsetSize);
    uint8_t trailer[kTrailerSize] = {};
    trailer[6] = static_cast<uint8_t>(l.offsetSize);
    trailer[7] = static_cast<uint8_t>(l.refSize);
    writeBigEndian(trailer + 8, m_nodes.size(), 8);
    writeBigEndian(trailer + 16, m_top, 8);
    writeBigEndian(trailer + 24, l.tableOffset, 8);
    out.put(trailer, kTrailerSize);
    return out.flush();
}

std::vector<uint8_t> BinaryPlistWriter::bytes() const
{
    std::vector<uint8_t> result;
    result.reserve(fileSize());
    write([&](const uint8_t* data, size_t size) {
        result.insert(result.end(), data, data + size);
        return true;
    });
    return result;
}

} // namespace fnd
