// Intrusive singly linked object lists: the link lives in the element, the list header keeps
// count, head, tail and owner. A list owns its elements; an element is in at most one list.
#pragma once

#include <cstddef>
#include <memory>

#include "base/ErrorRecord.h"
#include "db/LexObject.h"

// The link field inside a list element.
struct LexLink {
    LexObject* next = nullptr;  // the next element; null at the tail
    bool linked = false;        // the element belongs to a list
};

// A deep copy of obj as its own class.
template <class T>
std::unique_ptr<T> lexCloneAs(const T& obj) {
    std::unique_ptr<LexObject> copy = obj.clone();
    return std::unique_ptr<T>(static_cast<T*>(copy.release()));
}

// T derives from LexObject and gives access to its link through listLink().
template <class T>
class LexList {
public:
    explicit LexList(LexObject* owner = nullptr) : owner_(owner) {}
    ~LexList() { clear(); }
    LexList(const LexList&) = delete;
    LexList& operator=(const LexList&) = delete;

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    T* head() const { return head_; }
    T* tail() const { return tail_; }
    static T* next(const T* element) { return static_cast<T*>(element->listLink().next); }

    LexObject* owner() const { return owner_; }
    void setOwner(LexObject* owner) { owner_ = owner; }

    // Puts the element at the tail, sets its owner and takes it over (element becomes null).
    // An element already in a list is refused with 30002 and stays with the caller. 1 or 0.
    int append(std::unique_ptr<T>& element) {
        if (!element || element->listLink().linked) {
            recordError(kLexErrorMisuse, kSeverityMinor);
            return 0;
        }
        T* e = element.release();
        e->listLink().next = nullptr;
        e->listLink().linked = true;
        e->setOwner(owner_);
        if (tail_ != nullptr) {
            tail_->listLink().next = e;
        } else {
            head_ = e;
        }
        tail_ = e;
        ++count_;
        return 1;
    }

    // Unlinks the element, clears its link and owner and hands it back; null (30002) when it is
    // not in this list.
    std::unique_ptr<T> remove(T* element) {
        T* prev = nullptr;
        T* cur = head_;
        while (cur != nullptr && cur != element) {
            prev = cur;
            cur = next(cur);
        }
        if (cur == nullptr || element == nullptr) {
            recordError(kLexErrorMisuse, kSeverityMinor);
            return nullptr;
        }
        T* after = next(cur);
        if (prev != nullptr) {
            prev->listLink().next = after;
        } else {
            head_ = after;
        }
        if (tail_ == cur) tail_ = prev;
        --count_;
        cur->listLink().next = nullptr;
        cur->listLink().linked = false;
        cur->setOwner(nullptr);
        return std::unique_ptr<T>(cur);
    }

    // Removes and destroys every element.
    void clear() {
        T* cur = head_;
        head_ = tail_ = nullptr;
        count_ = 0;
        while (cur != nullptr) {
            T* after = next(cur);
            cur->listLink().next = nullptr;
            cur->listLink().linked = false;
            delete cur;
            cur = after;
        }
    }

    // Calls fn(element) in list order until it returns true; true when stopped.
    template <class F>
    bool forEach(F&& fn) const {
        for (T* e = head_; e != nullptr; e = next(e)) {
            if (fn(*e)) return true;
        }
        return false;
    }

    // Appends deep copies of every element of other.
    void copyFrom(const LexList& other) {
        for (T* e = other.head_; e != nullptr; e = next(e)) {
            std::unique_ptr<T> copy = lexCloneAs(*e);
            append(copy);
        }
    }

private:
    LexObject* owner_ = nullptr;
    std::size_t count_ = 0;
    T* head_ = nullptr;
    T* tail_ = nullptr;
};
