#include "base/PathUtil.h"

#include <gtest/gtest.h>

#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "support/TestSupport.h"

TEST(PathUtil, AppendRule) {
    const char* const cases[][3] = {
        {"a", "b", "a/b"},       {"a/", "b", "a/b"},     {"a/", "/b", "a/b"},  {"a", "/b", "a/b"},
        {"", "/b", "/b"},        {"a\\", "\\b", "a\\b"}, {"a\\", "b", "a\\b"}, {"a", "\\b", "a\\b"},
        {"a//", "//b", "a///b"}, {"/", "x", "/x"},       {"a", "", "a/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pathJoin(c[0], c[1]), c[2]) << c[0] << " + " << c[1];
}

TEST(PathUtil, DirectoryFileAndExtensionParts) {
    // path, directory part, file part
    const char* const cases[][3] = {
        {"f.txt", ".", "f.txt"},
        {"C:\\dir\\f.txt", "C:\\dir", "f.txt"},
        {"C:\\f", "C:/", "f"},
        {"a/b\\c", "a/b", "c"},
        {"/f", "/", "f"},
        {"a/b/", "a/b", ""},
        {"//host/share", "//host/share", ""},
        {"\\\\host\\share\\f", "\\\\host\\share", "f"},
        {"\\\\host\\share\\", "\\\\host\\share", ""},
        {"//host/", "//host/", ""},
        {"dir.d/file", "dir.d", "file"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pathDirPart(c[0]), c[1]) << c[0];
        EXPECT_EQ(pathFilePart(c[0]), c[2]) << c[0];
    }
    EXPECT_EQ(pathFilePart("c/logo.sht", ".sht"), "logo");
    EXPECT_EQ(pathFilePart("c/logo.smb", ".sht"), "logo.smb");
    EXPECT_EQ(pathExtensionPos("a.b\\file"), -1);
    EXPECT_EQ(pathExtensionPos("dir/file.tar.gz"), 12);
    EXPECT_EQ(pathRemoveExtension("dir/file.tar.gz"), "dir/file.tar");
    EXPECT_EQ(pathRemoveExtension("logo.SHT", ".sht"), "logo.SHT");
    EXPECT_EQ(pathRemoveExtension("logo.shtx", ".sht"), "logo.shtx");

    EXPECT_FALSE(isNetworkPath("//h/"));        // too short
    EXPECT_FALSE(isNetworkPath("/\\host/s"));   // two different separators
    EXPECT_FALSE(isNetworkPath("\\\\host/s"));  // only the other separator follows
    EXPECT_TRUE(isAbsolutePath("z:rel"));
    EXPECT_FALSE(isAbsolutePath("1:x"));
}

TEST(PathUtil, Normalise) {
    const char* const cases[][2] = {
        {"a/./b/../c", "./a/c"},
        {"../x", "../x"},
        {"/../x", "/x"},
        {"C:\\dir\\.\\f", "C:/dir/f"},
        {"\\\\host\\share\\dir\\..\\f", "//host/share/f"},
        {"\\\\host\\share", "//host/share"},
        {"a/../..", ".."},
        {"a/../../x", "../x"},
        {"", "."},
        {"//", "/"},
        {"/a//b///", "/a/b"},
        {"/a/b/../../..", "/"},
        {"C:..\\x", "C:../x"},
        {"x/a:/b/..", "./x/a:/"},  // the directory part of a drive-like component
    };
    for (const auto& c : cases)
        EXPECT_EQ(normalisePath(c[0]), c[1]) << c[0];
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
    ASSERT_LT(cwd.size(), 1000u);
    EXPECT_EQ(makeAbsolutePath("sub/../f.sht"), normalisePath(cwd + "/f.sht"));
    EXPECT_EQ(makeAbsolutePath("C:\\x\\..\\y"), "C:/y");
#if defined(_WIN32)
    // A path from the root of the current drive gets the drive; a path of more than 1023
    // bytes (beyond what the system completes) stays as normalised.
    EXPECT_EQ(makeAbsolutePath("\\a\\.\\b\\..\\c"), cwd.substr(0, 2) + "/a/c");
    const std::string tooLong(1030, 'f');
    EXPECT_EQ(makeAbsolutePath(tooLong + "/./x"), "./" + tooLong + "/x");
#else
    EXPECT_EQ(makeAbsolutePath("/a/./b/../c"), "/a/c");
    // The full path must fit 1024 bytes with its NUL; a longer one stays as normalised.
    const std::string fits(1023 - cwd.size() - 1, 'f');
    EXPECT_EQ(makeAbsolutePath("./" + fits), normalisePath(cwd + "/" + fits));
    EXPECT_EQ(makeAbsolutePath("./" + fits + "g"), "./" + fits + "g");
#endif

    testsupport::TempDir dir;
    const std::string sub = dir.file("sub");
    EXPECT_EQ(makeDirectory(sub), 1);
    EXPECT_EQ(makeDirectory(sub), 0);  // exists already
    EXPECT_EQ(pathKind(sub), 1);
    // A name with a leading dot marks nothing on POSIX systems; Windows marks files by
    // attribute.
    const std::string file = pathJoin(sub, "plain");
    ASSERT_TRUE(testsupport::writeFile(file, "x"));
    EXPECT_EQ(pathKind(file), 2);
#if defined(_WIN32)
    const std::string marked = pathJoin(sub, "marked");
    ASSERT_TRUE(testsupport::writeFile(marked, "x"));
    // (The temporary mark counts as well; wine does not keep it.)
    for (DWORD attribute : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
        ASSERT_TRUE(::SetFileAttributesA(marked.c_str(), attribute));
        EXPECT_EQ(pathKind(marked), 3) << attribute;
    }
    EXPECT_EQ(removeFile(marked), 1);
#else
    const std::string dotted = pathJoin(sub, ".hidden");
    ASSERT_TRUE(testsupport::writeFile(dotted, "x"));
    EXPECT_EQ(pathKind(dotted), 2);
#endif
    EXPECT_EQ(testAccess(file, kAccessReadWrite), 1);
    EXPECT_EQ(removeFile(sub), 0);  // a directory is not removed
    EXPECT_EQ(removeFile(file), 1);
    EXPECT_EQ(testAccess(file, kAccessExists), 0);
}
