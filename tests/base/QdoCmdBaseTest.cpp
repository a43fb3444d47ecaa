#include "base/QdoCmdBase.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/TestSupport.h"

namespace {

class Counted : public QdoCmdBase {
public:
    explicit Counted(int* alive) : alive_(alive) { ++*alive_; }
    ~Counted() override { --*alive_; }
    int type() const override { return kCmdTypeDatabase; }

private:
    int* alive_;
};

std::string dumpText(const QdoCmdBase& cmd, int level) {
    testsupport::TempDir dir;
    std::string path = dir.file("dump.txt");
    std::FILE* out = std::fopen(path.c_str(), "w");
    cmd.dump(out, level);
    std::fclose(out);
    return testsupport::readFile(path);
}

std::string pointerText(const void* p) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%p", p);
    return buffer;
}

}  // namespace

TEST(QdoCmdBase, BaseOperationsWarnAndFail) {
    QdoCmdBase cmd;
    testing::internal::CaptureStderr();
    EXPECT_EQ(cmd.execute(), 0);
    EXPECT_EQ(cmd.undo(), 0);
    EXPECT_EQ(cmd.redo(), 0);
    EXPECT_EQ(cmd.reversible(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "** WARNING! on QdoCmdBase::execute [Undo]\n** Should be redefined.\n"
              "** WARNING! on QdoCmdBase::undo [Undo]\n** Should be redefined.\n"
              "** WARNING! on QdoCmdBase::redo [Undo]\n** Should be redefined.\n"
              "** WARNING! on QdoCmdBase::reversible [Undo]\n** Should be redefined.\n");
    EXPECT_EQ(cmd.type(), -1);
}

TEST(QdoCmdBase, OwningListAndDump) {
    int alive = 0;
    {
        QdoCmdList list;
        QdoListElement* a = list.append(std::make_unique<Counted>(&alive));
        QdoListElement* b = list.append(std::make_unique<Counted>(&alive));
        QdoListElement* c = list.append(std::make_unique<Counted>(&alive));
        EXPECT_EQ(list.size(), 3);

        const auto& cmdB = static_cast<const QdoCmdBase&>(*b);
        EXPECT_EQ(dumpText(cmdB, 2), "    type: DATA BASE    [ this:" + pointerText(b) +
                                         "  p:" + pointerText(a) + ",n:" + pointerText(c) + " ]\n");

        std::unique_ptr<QdoListElement> taken = list.remove(b);
        ASSERT_EQ(taken.get(), b);
        EXPECT_EQ(b->list(), nullptr);
        EXPECT_EQ(a->next(), c);
        EXPECT_EQ(c->previous(), a);
        EXPECT_EQ(list.remove(b), nullptr);  // no longer in the list
        taken.reset();
        EXPECT_EQ(alive, 2);
    }
    EXPECT_EQ(alive, 0);

    // A long list is destroyed without recursion.
    QdoCmdList longList;
    for (int i = 0; i < 200000; ++i)
        longList.append(std::make_unique<Counted>(&alive));
    longList.clear();
    EXPECT_EQ(alive, 0);
}
