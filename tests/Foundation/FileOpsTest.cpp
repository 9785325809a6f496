#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Foundation/FileOps.h"
#include "Foundation/Log.h"
#include "Support/TempFolder.h"

using namespace fnd;
namespace fs = std::filesystem;

namespace {

class FileOpsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousSink = setLogSink([this](const std::string& line) { m_log.push_back(line); });
    }
    void TearDown() override { setLogSink(m_previousSink); }

    std::string contents(const fs::path& path) const
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    size_t entries() const { return static_cast<size_t>(std::distance(fs::directory_iterator(m_folder), {})); }
    static std::span<const uint8_t> bytesOf(const std::string& s)
    {
        return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
    }

    test_support::TempFolder m_temp{"kanvaro-fileops"};
    fs::path m_folder = m_temp.path();
    std::vector<std::string> m_log;
    LogSink m_previousSink;
};

} // namespace

TEST_F(FileOpsTest, ReplacesAFileAndLeavesNoTemporary)
{
    const fs::path path = m_folder / "painting.art";
    ASSERT_TRUE(writeFileAtomically(path.string(), bytesOf("first")));
    ASSERT_TRUE(writeFileAtomically(path.string(), bytesOf("second version")));
    EXPECT_EQ(contents(path), "second version");
    EXPECT_EQ(entries(), 1u);
    auto read = readFile(path.string(), 100);
    ASSERT_TRUE(read.ok()) << read.error();
    EXPECT_EQ(std::string(read->begin(), read->end()), "second version");
}

TEST_F(FileOpsTest, FailedWritesKeepTheOldFile)
{
    const fs::path path = m_folder / "painting.art";
    ASSERT_TRUE(writeFileAtomically(path.string(), bytesOf("old")));
    // The producer writes part of the content, then fails (as a full disk would).
    EXPECT_FALSE(writeFileAtomically(path.string(), [](const ChunkWriter& write) {
        const std::string part = "partial";
        write(reinterpret_cast<const uint8_t*>(part.data()), part.size());
        return false;
    }));
    EXPECT_EQ(contents(path), "old");
    EXPECT_EQ(entries(), 1u);
    EXPECT_EQ(m_log.size(), 1u);

    // A folder in the way of the rename, and a folder that does not exist.
    fs::create_directory(m_folder / "taken");
    EXPECT_FALSE(writeFileAtomically((m_folder / "taken").string(), bytesOf("x")));
    EXPECT_FALSE(writeFileAtomically((m_folder / "missing" / "a.art").string(), bytesOf("x")));
    EXPECT_EQ(entries(), 2u);
    EXPECT_EQ(m_log.size(), 3u);
}

TEST_F(FileOpsTest, ReadFileChecksSizeAndKind)
{
    const fs::path path = m_folder / "big.bin";
    ASSERT_TRUE(writeFileAtomically(path.string(), bytesOf(std::string(1000, 'x'))));
    EXPECT_TRUE(readFile(path.string(), 1000).ok());
    auto tooBig = readFile(path.string(), 999);
    ASSERT_FALSE(tooBig.ok());
    EXPECT_NE(tooBig.error().find("larger than"), std::string::npos);
    EXPECT_FALSE(readFile(m_folder.string(), 1000).ok());
    EXPECT_FALSE(readFile((m_folder / "absent").string(), 1000).ok());
    // A named pipe with no writer is refused at once instead of blocking the reader (in a child
    // process that an alarm ends if it blocks).
    const fs::path pipe = m_folder / "pipe.art";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    auto child = [&] {
        ::alarm(10);
        auto fromPipe = readFile(pipe.string(), 1000);
        std::exit(!fromPipe.ok() && fromPipe.error().find("not a regular file") != std::string::npos ? 0 : 1);
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

TEST_F(FileOpsTest, AFileSizeLimitFailsTheWriteInsteadOfKillingTheProgram)
{
    const fs::path path = m_folder / "painting.art";
    ASSERT_TRUE(writeFileAtomically(path.string(), bytesOf("old")));
    // In a child process, as under `ulimit -f`: the write must fail with a reason and keep the
    // old file, not end the process by SIGXFSZ.
    auto child = [&] {
        const rlimit limit{1024, 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const auto written = writeFileAtomically(path.string(), bytesOf(std::string(4096, 'x')));
        const bool kept = contents(path) == "old" && entries() == 1;
        std::exit(!written && written.error().find(std::strerror(EFBIG)) != std::string::npos && kept ? 0 : 1);
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

TEST_F(FileOpsTest, NewFilesNeverReplaceAnExistingOne)
{
    const fs::path path = m_folder / "kept.png";
    const auto produce = [](const std::string& text) {
        return [text](const ChunkWriter& write) {
            return write(reinterpret_cast<const uint8_t*>(text.data()), text.size());
        };
    };
    EXPECT_EQ(writeNewFileAtomically(path.string(), produce("first")).value(), NewFileResult::Written);
    EXPECT_EQ(writeNewFileAtomically(path.string(), produce("second")).value(), NewFileResult::Exists);
    EXPECT_EQ(contents(path), "first");
    auto failed = writeNewFileAtomically((m_folder / "absent" / "x").string(), produce("x"));
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.reason(), "No such file or directory (…/x)");
    EXPECT_EQ(entries(), 1u); // no temporary left behind
}
