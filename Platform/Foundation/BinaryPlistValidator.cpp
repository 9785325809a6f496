// The validation walk of BinaryPlistReader: every object reachable from the top object is checked
// once, containers through an explicit stack, so neither a deep nor a heavily shared file can make
// the reader recurse or repeat work.
#include <algorithm>
#include <deque>
#include <string_view>
#include <unordered_map>

#include "Foundation/BinaryPlistFormat.h"
#include "Foundation/BinaryPlistReader.h"
#include "Foundation/BinaryPlistUnicode.h"

namespace fnd {

namespace {
constexpr uint8_t kUnvisited = 0;
constexpr uint8_t kOnPath = 1;
constexpr uint8_t kDoneBase = 2; // kDoneBase + height once validated
} // namespace

class BinaryPlistReader::Validator {
public:
    explicit Validator(BinaryPlistReader& reader) : m_reader(reader) {}

    Status run()
    {
        m_reader.m_state.assign(m_reader.m_count, kUnvisited);
        if (!visit(m_reader.m_top))
            return Error{m_error};
        while (!m_stack.empty()) {
            Frame& frame = m_stack.back();
            if (frame.next == frame.children) {
                finish();
                continue;
            }
            const uint64_t child = m_reader.refAt(frame.refs, frame.next++);
            if (!visit(child))
                return Error{m_error};
        }
        return {};
    }

private:
    struct Frame {
        uint64_t index;
        const uint8_t* refs; // the refs still to visit (a dict's values)
        uint64_t children;
        uint64_t next;
        unsigned height; // 1 + tallest child container seen so far
    };

    bool fail(std::string message)
    {
        m_error = std::move(message);
        return false;
    }

    bool failAt(uint64_t index, const char* what)
    {
        return fail("binary plist: object " + std::to_string(index) + " " + what);
    }

    // Checks object `index` reached from the current frame (or as the top object).
    bool visit(uint64_t index)
    {
        if (index >= m_reader.m_count)
            return fail("binary plist: reference " + std::to_string(index) + " past the object table");
        const uint8_t state = m_reader.m_state[index];
        if (state == kOnPath)
            return failAt(index, "contains itself");
        if (state >= kDoneBase)
            return childDone(state - kDoneBase);
        std::string error;
        auto object = m_reader.decode(index, error);
        if (!object)
            return fail(std::move(error));
        if (object->type != PlistType::Array && object->type != PlistType::Dict) {
            if (!checkScalar(index, *object))
                return false;
            m_reader.m_state[index] = kDoneBase;
            return true;
        }
        if (m_stack.size() + 1 > bplist::kMaxDepth)
            return failAt(index, "is nested deeper than 16 levels");
        if (object->type == PlistType::Dict && !checkKeys(index, *object))
            return false;
        m_reader.m_state[index] = kOnPath;
        const uint64_t offset = object->type == PlistType::Dict ? object->count * m_reader.m_refSize : 0;
        m_stack.push_back({index, object->payload + offset, object->count, 0, 1});
        return true;
    }

    // A validated child of `height` hangs below the current frame.
    bool childDone(unsigned height)
    {
        if (m_stack.empty())
            return true;
        if (m_stack.size() + height > bplist::kMaxDepth)
            return failAt(m_stack.back().index, "is nested deeper than 16 levels");
        m_stack.back().height = std::max(m_stack.back().height, height + 1);
        return true;
    }

    void finish()
    {
        const Frame frame = m_stack.back();
        m_stack.pop_back();
        m_reader.m_state[frame.index] = static_cast<uint8_t>(kDoneBase + frame.height);
        if (!m_stack.empty())
            m_stack.back().height = std::max(m_stack.back().height, frame.height + 1);
    }

    bool checkScalar(uint64_t index, const PlistObject& object)
    {
        if (object.type != PlistType::String)
            return true;
        if (object.utf16 ? !bplist::isValidUtf16BE(object.payload, object.count)
                         : !bplist::isAscii({reinterpret_cast<const char*>(object.payload), object.count}))
            return failAt(index, "is a string with invalid characters");
        return true;
    }

    // Keys must be strings, distinct as text. Each key object's text gets an id once, so a dict
    // compares small ids however long or widely shared its keys are.
    bool checkKeys(uint64_t index, const PlistObject& dict)
    {
        // More entries than objects means some key object repeats.
        if (dict.count > m_reader.m_count)
            return failAt(index, "has duplicate keys");
        std::vector<uint32_t> ids;
        ids.reserve(dict.count);
        for (uint64_t i = 0; i < dict.count; ++i) {
            auto id = keyId(index, m_reader.refAt(dict.payload, i));
            if (!id)
                return false;
            ids.push_back(*id);
        }
        std::sort(ids.begin(), ids.end());
        if (std::adjacent_find(ids.begin(), ids.end()) != ids.end())
            return failAt(index, "has duplicate keys");
        return true;
    }

    std::optional<uint32_t> keyId(uint64_t dictIndex, uint64_t keyIndex)
    {
        if (auto known = m_keyIds.find(keyIndex); known != m_keyIds.end())
            return known->second;
        if (keyIndex >= m_reader.m_count) {
            failAt(dictIndex, "has a key reference past the object table");
            return std::nullopt;
        }
        std::string error;
        auto key = m_reader.decode(keyIndex, error);
        if (!key || key->type != PlistType::String) {
            key ? failAt(dictIndex, "has a key that is not a string") : fail(std::move(error));
            return std::nullopt;
        }
        if (!checkScalar(keyIndex, *key))
            return std::nullopt;
        m_reader.m_state[keyIndex] = kDoneBase;
        std::string_view text(reinterpret_cast<const char*>(key->payload), key->count);
        if (key->utf16)
            text = m_decodedKeys.emplace_back(m_reader.text(*key));
        const auto id = m_textIds.try_emplace(text, static_cast<uint32_t>(m_textIds.size())).first->second;
        m_keyIds.emplace(keyIndex, id);
        return id;
    }

    BinaryPlistReader& m_reader;
    std::vector<Frame> m_stack;
    std::string m_error;
    std::unordered_map<uint64_t, uint32_t> m_keyIds;          // key object -> text id
    std::unordered_map<std::string_view, uint32_t> m_textIds; // key text -> id
    std::deque<std::string> m_decodedKeys;                    // UTF-16 keys as UTF-8, stable
};

Status BinaryPlistReader::validate() { return Validator(*this).run(); }

} // namespace fnd
