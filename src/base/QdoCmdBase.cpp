#include "base/QdoCmdBase.h"

QdoListElement::~QdoListElement() {
    // Elements still linked behind this one are destroyed one by one, never recursively.
    std::unique_ptr<QdoListElement> rest = std::move(next_);
    while (rest)
        rest = std::move(rest->next_);
}

QdoCmdBase::~QdoCmdBase() = default;

void QdoCmdBase::warnNotRedefined(const char* operation) {
    std::fprintf(stderr, "** WARNING! on %s [Undo]\n", operation);
    std::fputs("** Should be redefined.\n", stderr);
}

int QdoCmdBase::undo() {
    warnNotRedefined("QdoCmdBase::undo");
    return 0;
}

int QdoCmdBase::redo() {
    warnNotRedefined("QdoCmdBase::redo");
    return 0;
}

int QdoCmdBase::reversible() {
    warnNotRedefined("QdoCmdBase::reversible");
    return 0;
}

int QdoCmdBase::execute() {
    warnNotRedefined("QdoCmdBase::execute");
    return 0;
}

int QdoCmdBase::type() const {
    return kCmdTypeNone;
}

const char* cmdTypeName(int type) {
    switch (type) {
        case kCmdTypeDatabase:
            return "type: DATA BASE  ";
        case kCmdTypeComposite:
            return "type: COMPOSITE  ";
        case kCmdTypeGrouping:
            return "type: <grouping> ";
        case kCmdTypeTemporary:
            return "type: <temporary>";
        default:
            return "type: <?>";
    }
}

void QdoCmdBase::dump(std::FILE* out, int level) const {
    if (!out) return;
    for (int i = 0; i < level; ++i)
        std::fputs("  ", out);
    std::fprintf(out, "%s  [ this:%p  p:%p,n:%p ]\n", cmdTypeName(type()),
                 static_cast<const void*>(this), static_cast<const void*>(previous()),
                 static_cast<const void*>(next()));
}

QdoCmdList::~QdoCmdList() {
    clear();
}

QdoListElement* QdoCmdList::append(std::unique_ptr<QdoListElement> element) {
    if (!element || element->list_) return nullptr;
    QdoListElement* raw = element.get();
    raw->list_ = this;
    raw->previous_ = last_;
    if (last_)
        last_->next_ = std::move(element);
    else
        first_ = std::move(element);
    last_ = raw;
    ++size_;
    return raw;
}

std::unique_ptr<QdoListElement> QdoCmdList::remove(QdoListElement* element) {
    if (!element || element->list_ != this) return nullptr;
    std::unique_ptr<QdoListElement>& holder =
        element->previous_ ? element->previous_->next_ : first_;
    std::unique_ptr<QdoListElement> taken = std::move(holder);
    holder = std::move(taken->next_);
    if (holder)
        holder->previous_ = element->previous_;
    else
        last_ = element->previous_;
    taken->list_ = nullptr;
    taken->previous_ = nullptr;
    --size_;
    return taken;
}

void QdoCmdList::clear() {
    std::unique_ptr<QdoListElement> rest = std::move(first_);
    while (rest)
        rest = std::move(rest->next_);
    last_ = nullptr;
    size_ = 0;
}
