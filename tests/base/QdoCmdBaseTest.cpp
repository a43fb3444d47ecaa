#include "base/QdoCmdBase.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

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
    std::FILE* out = std::tmpfile();
    if (out == nullptr) return "(no temporary file)";
    cmd.dump(out, level);
    std::string result;
    std::rewind(out);
    for (int c; (c = std::fgetc(out)) != EOF;)
        result += static_cast<char>(c);
    std::fclose(out);
    return result;
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
}

TEST(QdoCmdBase, OwningListAndDump) {
    int alive = 0;
    {
        QdoCmdList list;
        QdoListElement* a = list.append(std::make_unique<Counted>(&alive));
        QdoListElement* b = list.append(std::make_unique<Counted>(&alive));
        QdoListElement* c = list.append(std::make_unique<Counted>(&alive));
        char expected[160];
        std::snprintf(expected, sizeof expected, "    type: DATA BASE    [ this:%p  p:%p,n:%p ]\n",
                      static_cast<void*>(b), static_cast<void*>(a), static_cast<void*>(c));
        EXPECT_EQ(dumpText(static_cast<const QdoCmdBase&>(*b), 2), expected);
        std::unique_ptr<QdoListElement> taken = list.remove(b);
        ASSERT_EQ(taken.get(), b);
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
