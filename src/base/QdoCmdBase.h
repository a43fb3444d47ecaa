// The base of undoable commands: an element of an owning intrusive list of commands, with the
// operations every command overrides (undo, redo, reversible, execute, type).
#pragma once

#include <cstdio>
#include <memory>

class QdoCmdList;

// An element of a QdoCmdList: it knows its list and its neighbours. The list owns its elements.
class QdoListElement {
public:
    QdoListElement() = default;
    QdoListElement(const QdoListElement&) = delete;
    QdoListElement& operator=(const QdoListElement&) = delete;
    virtual ~QdoListElement();

    QdoCmdList* list() const { return list_; }
    QdoListElement* previous() const { return previous_; }
    QdoListElement* next() const { return next_.get(); }

private:
    friend class QdoCmdList;
    QdoCmdList* list_ = nullptr;
    QdoListElement* previous_ = nullptr;
    std::unique_ptr<QdoListElement> next_;
};

// Command types.
inline constexpr int kCmdTypeNone = -1;
inline constexpr int kCmdTypeDatabase = 0;
inline constexpr int kCmdTypeComposite = 1;
inline constexpr int kCmdTypeGrouping = 2;
inline constexpr int kCmdTypeTemporary = 3;

class QdoCmdBase : public QdoListElement {
public:
    QdoCmdBase() = default;
    ~QdoCmdBase() override;

    // The base versions warn on the error stream that the operation should be redefined and
    // return 0.
    virtual int undo();
    virtual int redo();
    virtual int reversible();
    virtual int execute();
    // -1 in the base.
    virtual int type() const;

    // Writes "<indent><type name>  [ this:<id>  p:<previous>,n:<next> ]" and a line feed, the
    // indent being two blanks per level.
    void dump(std::FILE* out, int level = 0) const;

protected:
    // Writes the two warning lines for the named operation ("QdoCmdBase::execute").
    static void warnNotRedefined(const char* operation);
};

// The type name of a command type as the dump writes it.
const char* cmdTypeName(int type);

// An owning doubly linked list of list elements.
class QdoCmdList {
public:
    QdoCmdList() = default;
    QdoCmdList(const QdoCmdList&) = delete;
    QdoCmdList& operator=(const QdoCmdList&) = delete;
    ~QdoCmdList();

    QdoListElement* first() const { return first_.get(); }
    QdoListElement* last() const { return last_; }
    int size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // Takes an element (that belongs to no list) at the end. Returns it.
    QdoListElement* append(std::unique_ptr<QdoListElement> element);
    // Unlinks an element of this list and hands it back (null when it is not in this list).
    std::unique_ptr<QdoListElement> remove(QdoListElement* element);
    // Destroys every element.
    void clear();

private:
    std::unique_ptr<QdoListElement> first_;
    QdoListElement* last_ = nullptr;
    int size_ = 0;
};
