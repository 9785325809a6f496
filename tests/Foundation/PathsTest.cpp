#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "Foundation/Log.h"
#include "Foundation/Paths.h"
#include "Support/TempFolder.h"

using namespace fnd;
namespace fs = std::filesystem;

namespace {

// Sets an environment variable for the scope and puts the old value back.
class EnvScope {
public:
    EnvScope(const char* name, const std::optional<std::string>& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~EnvScope()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }
    EnvScope(const EnvScope&) = delete;
    EnvScope& operator=(const EnvScope&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

class PathsTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        setDocumentsPath("");
        setPicturesPath("");
        setExportsPath("");
    }
    test_support::TempFolder m_folder{"kanvaro-paths"};
    fs::path m_home = m_folder.path();
};

TEST_F(PathsTest, DocumentsFollowAbsoluteDataHomeOnly)
{
    EnvScope home("HOME", m_home.string());
    {
        EnvScope data("XDG_DATA_HOME", "/srv/data/");
        EXPECT_EQ(defaultDocumentsPath(), "/srv/data/kanvaro/Documents");
    }
    {
        EnvScope data("XDG_DATA_HOME", "relative/data"); // not absolute: ignored
        EXPECT_EQ(defaultDocumentsPath(), m_home.string() + "/.local/share/kanvaro/Documents");
    }
    EnvScope data("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(defaultDocumentsPath(), m_home.string() + "/.local/share/kanvaro/Documents");
}

TEST_F(PathsTest, PicturesComeFromUserDirsOrFallBackToHomePictures)
{
    EnvScope home("HOME", m_home.string());
    EnvScope config("XDG_CONFIG_HOME", (m_home / "config").string());
    // Nothing configured: the tool answers the home folder, which is not a pictures folder.
    EXPECT_EQ(defaultPicturesPath(), m_home.string() + "/Pictures");

    fs::create_directories(m_home / "config");
    std::ofstream(m_home / "config" / "user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Art\"\n";
    EXPECT_EQ(defaultPicturesPath(), m_home.string() + "/Art");
}

TEST_F(PathsTest, OverridesWinAndExportsLiveInsideThePicturesInUse)
{
    setPicturesPath("/data/pics/");
    EXPECT_EQ(picturesPath(), "/data/pics");
    EXPECT_EQ(exportsPath(), "/data/pics/Kanvaro");
    setExportsPath("/data/out");
    EXPECT_EQ(exportsPath(), "/data/out");
    setDocumentsPath("/data/docs");
    EXPECT_EQ(documentsPath(), "/data/docs");

    setDocumentsPath("");
    EnvScope home("HOME", m_home.string());
    EnvScope data("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(documentsPath(), defaultDocumentsPath());
}

TEST_F(PathsTest, MakeDirectoriesCreatesParentsAndRefusesAFileInTheWay)
{
    std::vector<std::string> lines;
    LogSink previous = setLogSink([&](const std::string& line) { lines.push_back(line); });
    fs::path nested = m_home / "a" / "b" / "c";
    EXPECT_TRUE(makeDirectories(nested.string()));
    EXPECT_TRUE(fs::is_directory(nested));
    EXPECT_TRUE(makeDirectories(nested.string())); // already there: fine

    std::ofstream(m_home / "file") << "x";
    EXPECT_FALSE(makeDirectories((m_home / "file").string()));
    EXPECT_FALSE(makeDirectories((m_home / "file" / "below").string()));
    EXPECT_FALSE(makeDirectories(""));
    setLogSink(previous);
    EXPECT_EQ(lines.size(), 3u);
}

} // namespace

namespace {

TEST_F(PathsTest, OptionsSetFoldersAndPreparingCreatesThem)
{
    EXPECT_TRUE(setPathFromOption("--pictures", (m_home / "pics").string()));
    EXPECT_TRUE(setPathFromOption("--documents", (m_home / "docs").string()));
    EXPECT_FALSE(setPathFromOption("--photos", "/x"));
    ASSERT_TRUE(preparePaths());
    EXPECT_TRUE(fs::is_directory(m_home / "docs"));
    EXPECT_TRUE(fs::is_directory(m_home / "pics" / "Kanvaro"));
    EXPECT_EQ(exportsPath(), (m_home / "pics" / "Kanvaro").string());

    // Without an exports folder the application starts all the same; exporting says why.
    std::ofstream(m_home / "in-the-way") << "x";
    EXPECT_TRUE(setPathFromOption("--exports", (m_home / "in-the-way" / "Kanvaro").string()));
    LogSink previous = setLogSink([](const std::string&) {});
    EXPECT_TRUE(preparePaths());
    auto made = makeDirectories(exportsPath());
    setLogSink(previous);
    ASSERT_FALSE(made);
    EXPECT_EQ(made.reason(), "Not a directory (…/Kanvaro)");
    setExportsPath("");
}

} // namespace
