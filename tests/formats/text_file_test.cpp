#include "formats/text_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "formats/input_error.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern = (fs::temp_directory_path() / "velmora-text-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    fs::path path_;
};

TEST(SplitLines, SplitsAtLineFeedRemovingOneCarriageReturn) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(splitLines("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(splitLines("a\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(splitLines("a\r\r\nb"), (Lines{"a\r", "b"}));
    EXPECT_EQ(splitLines("a\rb\r\n"), (Lines{"a\rb"}));
    EXPECT_EQ(splitLines("\r\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(splitLines(""), Lines{});
    EXPECT_EQ(splitLines(" x \r"), (Lines{" x \r"}));  // no LF: the CR is content
    EXPECT_EQ(splitLines(std::string_view("a\0b\n", 4)), (Lines{std::string("a\0b", 3)}));
}

TEST(ReadWholeFile, MissingFileNamesTheFileAndTheReason) {
    ScratchDirectory directory;
    const std::string path = (directory.path() / "absent.dat").string();
    try {
        readWholeFile(path);
        FAIL() << "no error";
    } catch (const InputError& error) {
        EXPECT_EQ(error.file(), path);
        EXPECT_EQ(error.line(), 0);
        EXPECT_EQ(error.reason(), std::strerror(ENOENT));
    }
    EXPECT_THROW(readWholeFile(directory.path().string()), InputError);  // a directory
}

TEST(WriteFileAtomically, WritesBytesAndLeavesNoTemporaryFile) {
    ScratchDirectory directory;
    const std::string path = (directory.path() / "Phantom.dat").string();
    const std::string bytes("30.0\r\n\x93\x78\0end", 11);
    writeFileAtomically(path, bytes);
    EXPECT_EQ(readWholeFile(path), bytes);
    EXPECT_EQ(directory.entries(), std::vector<std::string>{"Phantom.dat"});
    // Readable by others like any file created under the usual umask.
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0666u & ~[] { mode_t m = ::umask(0); ::umask(m); return m; }());
}

TEST(WriteFileAtomically, ReplacesAnExistingFile) {
    ScratchDirectory directory;
    const std::string path = (directory.path() / "result.ddat").string();
    writeFileAtomically(path, std::string(5000, 'x'));
    writeFileAtomically(path, "short\r\n");
    EXPECT_EQ(readWholeFile(path), "short\r\n");
    writeFileAtomically(path, "");
    EXPECT_EQ(readWholeFile(path), "");
    EXPECT_EQ(directory.entries(), std::vector<std::string>{"result.ddat"});
}

TEST(WriteFileAtomically, MissingDirectoryNamesTheReason) {
    ScratchDirectory directory;
    const std::string path = (directory.path() / "no-such-dir" / "Phantom.dat").string();
    try {
        writeFileAtomically(path, "x");
        FAIL() << "no error";
    } catch (const InputError& error) {
        EXPECT_EQ(error.file(), path);
        EXPECT_EQ(error.reason(), std::strerror(ENOENT));
    }
}

TEST(WriteFileAtomically, UnwritableDirectoryNamesTheReasonAndLeavesNothing) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
    ScratchDirectory directory;
    fs::permissions(directory.path(), fs::perms::owner_read | fs::perms::owner_exec);
    const std::string path = (directory.path() / "Phantom.dat").string();
    try {
        writeFileAtomically(path, "x");
        FAIL() << "no error";
    } catch (const InputError& error) {
        EXPECT_EQ(error.reason(), std::strerror(EACCES));
    }
    fs::permissions(directory.path(), fs::perms::owner_all);
    EXPECT_TRUE(directory.entries().empty());
}

TEST(WriteFileAtomically, TargetThatIsADirectoryFailsAndRemovesTheTemporary) {
    ScratchDirectory directory;
    const fs::path target = directory.path() / "occupied";
    fs::create_directory(target);
    fs::create_directory(target / "child");  // rename() cannot replace a non-empty directory
    try {
        writeFileAtomically(target.string(), "x");
        FAIL() << "no error";
    } catch (const InputError& error) {
        EXPECT_EQ(error.file(), target.string());
        EXPECT_EQ(error.reason(), std::strerror(EISDIR));
    }
    EXPECT_EQ(directory.entries(), std::vector<std::string>{"occupied"});
}

}  // namespace
}  // namespace velmora
