#include "base/PathUtil.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <utility>

#include "support/TestSupport.h"

using Pair = std::pair<const char*, const char*>;

TEST(PathUtil, AppendRule) {
    const struct {
        const char* path;
        const char* component;
        const char* expected;
    } cases[] = {
        {"a", "b", "a/b"},    {"a/", "b", "a/b"},      {"a/", "/b", "a/b"},    {"a", "/b", "a/b"},
        {"", "b", "b"},       {"", "/b", "/b"},        {"a\\", "\\b", "a\\b"}, {"a\\", "b", "a\\b"},
        {"a", "\\b", "a\\b"}, {"a//", "//b", "a///b"}, {"/", "x", "/x"},       {"a", "", "a/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pathJoin(c.path, c.component), c.expected) << c.path << " + " << c.component;
        std::string inPlace = c.path;
        pathAppend(inPlace, c.component);
        EXPECT_EQ(inPlace, c.expected);
    }
}

TEST(PathUtil, DirectoryAndFileParts) {
    const Pair dirs[] = {
        {"f.txt", "."},
        {"C:\\dir\\f.txt", "C:\\dir"},
        {"C:\\f", "C:/"},
        {"a/b\\c", "a/b"},
        {"/f", "/"},
        {"a/b/", "a/b"},
        {"//host/share", "//host/share"},
        {"\\\\host\\share\\f", "\\\\host\\share"},
        {"//host/", "//host/"},
        {"", "."},
    };
    for (const auto& [path, expected] : dirs)
        EXPECT_EQ(pathDirPart(path), expected) << path;

    const Pair files[] = {
        {"f.txt", "f.txt"},     {"C:\\dir\\f.txt", "f.txt"}, {"a/b/", ""},
        {"//host/share", ""},   {"\\\\host\\share\\", ""},   {"//host/share/x.sht", "x.sht"},
        {"dir.d/file", "file"},
    };
    for (const auto& [path, expected] : files)
        EXPECT_EQ(pathFilePart(path), expected) << path;
    EXPECT_EQ(pathFilePart("c/logo.sht", ".sht"), "logo");
    EXPECT_EQ(pathFilePart("c/logo.smb", ".sht"), "logo.smb");
    EXPECT_EQ(pathFilePart("c/logo.sht"), "logo.sht");
}

TEST(PathUtil, ExtensionsAndPathClasses) {
    EXPECT_EQ(pathExtensionPos("a.b\\file"), -1);
    EXPECT_EQ(pathExtensionPos("dir/file.tar.gz"), 12);
    EXPECT_EQ(pathExtensionPos(".profile"), 0);
    EXPECT_EQ(pathRemoveExtension("dir/file.tar.gz"), "dir/file.tar");
    EXPECT_EQ(pathRemoveExtension("a.b/file"), "a.b/file");
    EXPECT_EQ(pathRemoveExtension("logo.sht", ".sht"), "logo");
    EXPECT_EQ(pathRemoveExtension("logo.SHT", ".sht"), "logo.SHT");
    EXPECT_EQ(pathRemoveExtension("logo.shtx", ".sht"), "logo.shtx");

    EXPECT_TRUE(isNetworkPath("//h/s"));
    EXPECT_FALSE(isNetworkPath("//h/"));        // too short
    EXPECT_FALSE(isNetworkPath("/\\host/s"));   // two different separators
    EXPECT_FALSE(isNetworkPath("\\\\host/s"));  // only the other separator follows
    EXPECT_TRUE(isAbsolutePath("\\x"));
    EXPECT_TRUE(isAbsolutePath("z:rel"));
    EXPECT_FALSE(isAbsolutePath("1:x"));
    EXPECT_FALSE(isAbsolutePath(""));
}

TEST(PathUtil, Normalise) {
    const Pair cases[] = {
        {"a/./b/../c", "./a/c"},
        {"../x", "../x"},
        {"/../x", "/x"},
        {"C:\\dir\\.\\f", "C:/dir/f"},
        {"\\\\host\\share\\dir\\..\\f", "//host/share/f"},
        {"\\\\host\\share", "//host/share"},
        {"a/..", "."},
        {"a/../..", ".."},
        {"../../x", "../../x"},
        {"a/../../x", "../x"},
        {"./", "."},
        {"", "."},
        {"/", "/"},
        {"//", "/"},
        {"/a//b///", "/a/b"},
        {"x", "./x"},
        {"/a/b/../../..", "/"},
        {"C:..\\x", "C:../x"},
        {"x/a:/b/..", "./x/a:/"},  // the directory part of a drive-like component
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(normalisePath(path), expected) << path;
    // A hostile depth of components and ".." stays linear.
    std::string deep;
    for (int i = 0; i < 50000; ++i)
        deep += "component/";
    for (int i = 0; i < 50001; ++i)
        deep += "../";
    EXPECT_EQ(normalisePath(deep), "..");
}

TEST(PathUtil, AbsolutePathsAndFileSystem) {
    const std::string cwd = currentDirectory();
    ASSERT_FALSE(cwd.empty());
    EXPECT_EQ(makeAbsolutePath("/a/./b/../c"), "/a/c");
    EXPECT_EQ(makeAbsolutePath("sub/../f.sht"), normalisePath(cwd + "/f.sht"));
    EXPECT_EQ(makeAbsolutePath("C:\\x\\..\\y"), "C:/y");
    // The full path must fit 1024 bytes with its NUL; a longer one stays as normalised.
    ASSERT_LT(cwd.size(), 1000u);
    const std::string fits(1023 - cwd.size() - 1, 'f');
    EXPECT_EQ(makeAbsolutePath("./" + fits), normalisePath(cwd + "/" + fits));
    EXPECT_EQ(makeAbsolutePath("./" + fits + "g"), "./" + fits + "g");

    testsupport::TempDir dir;
    const std::string sub = dir.file("sub");
    EXPECT_EQ(makeDirectory(sub), 1);
    EXPECT_EQ(makeDirectory(sub), 0);  // exists already
    EXPECT_EQ(makeDirectory(dir.file("no/such/chain")), 0);
    EXPECT_EQ(pathKind(sub), 1);
    const std::string file = pathJoin(sub, ".hidden");
    ASSERT_TRUE(testsupport::writeFile(file, "x"));
    EXPECT_EQ(pathKind(file), 2);
    EXPECT_EQ(testAccess(file, kAccessReadWrite), 1);
    EXPECT_EQ(testAccess(dir.file("missing"), kAccessExists), 0);
    EXPECT_EQ(setFileMode(file, 0606), 1);
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0606u);
    EXPECT_EQ(removeFile(sub), 0);  // a directory is not removed
    EXPECT_EQ(removeFile(file), 1);
    EXPECT_EQ(pathKind(file), 0);
}
