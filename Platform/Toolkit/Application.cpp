#include "Toolkit/Application.h"

#include <cmath>
#include <cstdlib>
#include <map>

#include "Foundation/Bundle.h"
#include "Foundation/FileOps.h"

namespace ui {

namespace {

constexpr std::uint64_t kMaxInterfaceBytes = 64 * 1024;
constexpr int kMaxDepth = 8;

// A reader for the small JSON objects of the main interface file: objects, strings without
// escapes beyond \" and \\, numbers and the literals true, false and null. Values are kept by
// dotted key ("window.width"); arrays are refused, as the file has none.
class InterfaceReader {
public:
    explicit InterfaceReader(const std::string& text) : m_text(text) {}

    std::string read()
    {
        std::string problem = object("", 0);
        skipBlanks();
        if (problem.empty() && m_pos != m_text.size())
            problem = "text after the closing brace";
        return problem;
    }
    const std::map<std::string, std::string>& strings() const { return m_strings; }
    const std::map<std::string, double>& numbers() const { return m_numbers; }

private:
    void skipBlanks()
    {
        while (m_pos < m_text.size()
               && (m_text[m_pos] == ' ' || m_text[m_pos] == '\n' || m_text[m_pos] == '\r' || m_text[m_pos] == '\t'))
            ++m_pos;
    }
    bool take(char c)
    {
        skipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool string(std::string& out)
    {
        if (!take('"'))
            return false;
        for (; m_pos < m_text.size(); ++m_pos) {
            char c = m_text[m_pos];
            if (c == '"') {
                ++m_pos;
                return true;
            }
            if (c == '\\' && m_pos + 1 < m_text.size() && (m_text[m_pos + 1] == '"' || m_text[m_pos + 1] == '\\'))
                c = m_text[++m_pos];
            else if (c == '\\' || static_cast<unsigned char>(c) < 0x20)
                return false;
            out.push_back(c);
        }
        return false;
    }
    bool literal(const char* word)
    {
        std::string w(word);
        if (m_text.compare(m_pos, w.size(), w) != 0)
            return false;
        m_pos += w.size();
        return true;
    }
    std::string value(const std::string& key, int depth)
    {
        skipBlanks();
        if (m_pos >= m_text.size())
            return "the text ends before the value of \"" + key + "\"";
        char c = m_text[m_pos];
        if (c == '{')
            return object(key, depth + 1);
        if (c == '"') {
            std::string s;
            if (!string(s))
                return "a broken string at \"" + key + "\"";
            m_strings[key] = s;
            return {};
        }
        if (literal("true")) {
            m_numbers[key] = 1;
            return {};
        }
        if (literal("false") || literal("null")) {
            m_numbers[key] = 0;
            return {};
        }
        const char* start = m_text.c_str() + m_pos;
        char* end = nullptr;
        double number = std::strtod(start, &end);
        if (end == start || !std::isfinite(number))
            return "no value for \"" + key + "\"";
        m_pos += static_cast<std::size_t>(end - start);
        m_numbers[key] = number;
        return {};
    }
    std::string object(const std::string& prefix, int depth)
    {
        if (depth > kMaxDepth)
            return "objects nested too deeply";
        if (!take('{'))
            return "an object was expected";
        if (take('}'))
            return {};
        do {
            std::string name;
            if (!string(name) || !take(':'))
                return "a key was expected";
            std::string key = prefix.empty() ? name : prefix + "." + name;
            if (std::string problem = value(key, depth); !problem.empty())
                return problem;
        } while (take(','));
        return take('}') ? std::string() : "a closing brace was expected";
    }

    const std::string& m_text;
    std::size_t m_pos = 0;
    std::map<std::string, std::string> m_strings;
    std::map<std::string, double> m_numbers;
};

std::map<std::string, ApplicationDelegateFactory>& delegateClasses()
{
    static std::map<std::string, ApplicationDelegateFactory> classes;
    return classes;
}

} // namespace

std::string mainInterfacePath() { return fnd::resourcePath() + "/MainWindow.json"; }

fnd::Result<MainInterface> parseMainInterface(const std::string& text)
{
    InterfaceReader reader(text);
    if (std::string problem = reader.read(); !problem.empty())
        return fnd::Error{"the main interface file does not read: " + problem};
    auto number = [&](const char* key) {
        auto found = reader.numbers().find(key);
        return found == reader.numbers().end() ? 0.0 : found->second;
    };
    MainInterface interface;
    interface.windowFrame = {number("window.x"), number("window.y"), number("window.width"), number("window.height")};
    interface.fullScreen = number("window.fullScreen") != 0;
    if (auto found = reader.strings().find("delegateClass"); found != reader.strings().end())
        interface.delegateClass = found->second;
    if (!(interface.windowFrame.size.width > 0) || !(interface.windowFrame.size.height > 0))
        return fnd::Error{"the main interface file gives the window no size"};
    if (interface.delegateClass.empty())
        return fnd::Error{"the main interface file names no application delegate"};
    return interface;
}

fnd::Result<MainInterface> loadMainInterface(const std::string& path)
{
    auto bytes = fnd::readFile(path, kMaxInterfaceBytes);
    if (!bytes)
        return fnd::Error{path + ": " + bytes.error()};
    return parseMainInterface(std::string(bytes->begin(), bytes->end()));
}

void registerApplicationDelegateClass(const std::string& name, ApplicationDelegateFactory factory)
{
    delegateClasses()[name] = std::move(factory);
}

fnd::Result<std::unique_ptr<ApplicationDelegate>> makeApplicationDelegate(const std::string& className)
{
    auto found = delegateClasses().find(className);
    if (found == delegateClasses().end() || !found->second)
        return fnd::Error{"no application delegate class named \"" + className + "\""};
    auto delegate = found->second();
    if (!delegate)
        return fnd::Error{"the application delegate \"" + className + "\" could not be made"};
    return delegate;
}

} // namespace ui
