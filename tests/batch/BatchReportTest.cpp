#include "batch/BatchReport.h"
#include "batch/ProgressView.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

using testsupport::TempDir;
using testsupport::writeFile;

TEST(BatchReport, CsvFieldsAreQuotedWhenTheyMustBe) {
    const struct {
        const char* text;
        const char* field;
    } cases[] = {
        {"", ""},
        {"plain text; with blanks", "plain text; with blanks"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"cr\r", "\"cr\r\""},
        {"\"", "\"\"\"\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(csvField(c.text), c.field) << c.text;
}

TEST(BatchReport, MessagesOfARunFromItsLogFolder) {
    TempDir t;
    const std::string banner = std::string(70, '#') + "\n#\n#            Error Occurred !!!\n";
    writeFile(t.file("trazon.err"), banner +
                                        "\n<Mess.36711> Cannot read the file /p, q.\n"
                                        "             objectId:7\n\n<Mess.7    > short\n");
    writeFile(t.file("trazon.wrn"), "\n<Mess.36752> The drawing was saved in /o.smb.\n");
    writeFile(t.file(kRunOutputFile), "trazon: cannot write\r\n\n");
    const std::vector<std::string> expected = {"36711 Cannot read the file /p, q.", "7 short",
                                               "36752 The drawing was saved in /o.smb.",
                                               "trazon: cannot write"};
    EXPECT_EQ(runMessages(t.path()), expected);
    EXPECT_TRUE(runMessages(t.file("none")).empty());
}

TEST(BatchReport, CsvRowsSummaryAndProgressLines) {
    std::vector<BatchJob> jobs(3);
    jobs[0] = {"/p/a,1.plt", "a,1", "/o/a,1.smb", false};
    jobs[1] = {"/p/b.plt", "b", "/o/b.smb", true};
    jobs[2] = {"/p/c.plt", "c", "/o/c.smb", false};
    std::vector<JobRecord> records(3);
    records[0] = {JobStatus::Converted, 0, {"36752 saved \"a\"", "note"}, 12, 0.5};
    records[1].status = JobStatus::Skipped;
    records[2] = {JobStatus::Failed, 139, {"trazon was ended by signal 11"}, std::nullopt, 1.25};

    std::ostringstream csv;
    writeCsv(csv, jobs, records);
    EXPECT_EQ(
        csv.str(),
        "plot,output,status,exit code,messages,objects,seconds\r\n"
        "\"/p/a,1.plt\",\"/o/a,1.smb\",converted,0,\"36752 saved \"\"a\"\"; note\",12,0.50\r\n"
        "/p/b.plt,/o/b.smb,skipped,,,,\r\n"
        "/p/c.plt,/o/c.smb,failed,139,trazon was ended by signal 11,,1.25\r\n");

    std::ostringstream summary;
    writeSummary(summary, jobs, records, 2.0, 4);
    const std::string s = summary.str();
    for (const char* line :
         {"converted        1        12      0.50\n", "failed           1         0      1.25\n",
          "skipped          1\n", "total            3        12      1.75\n",
          "wall time 2.00 s, at most 4 conversions at once\n",
          "failed:\n  exit 139  /p/c.plt\n          trazon was ended by signal 11\n"})
        EXPECT_NE(s.find(line), std::string::npos) << line << "in\n" << s;
    EXPECT_EQ(s.find("not run"), std::string::npos);

    // Plain lines off a terminal; on a terminal the bar never outgrows the line.
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&text, &size);
    ProgressView plain(stream, false, 80, 3);
    for (std::size_t i = 0; i < 3; ++i)
        plain.done(jobs[i], records[i], 0);
    std::fclose(stream);
    EXPECT_EQ(std::string(text, size),
              "[1/3] converted  /p/a,1.plt -> /o/a,1.smb  (0.50 s)\n"
              "[2/3] skipped  /p/b.plt -> /o/b.smb\n"
              "[3/3] failed (exit 139)  /p/c.plt  trazon was ended by signal 11\n");
    std::free(text);
    for (unsigned columns : {20u, 60u, 200u}) {
        ProgressView bar(stderr, true, columns, 3);
        EXPECT_LT(bar.barLine(2).size(), columns);
        EXPECT_EQ(bar.barLine(2).rfind("[..........", 0), 0u) << columns;
    }
}
