#include "SvgTree.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace svgtest {

std::string Element::attr(const std::string& key) const {
    const auto it = attributes.find(key);
    return it == attributes.end() ? std::string() : it->second;
}

std::string Element::inherited(const std::string& key) const {
    for (const Element* e = this; e != nullptr; e = e->parent)
        if (e->attributes.count(key)) return e->attributes.at(key);
    return {};
}

std::vector<const Element*> Element::all(std::string_view wanted) const {
    std::vector<const Element*> found;
    for (const auto& child : children) {
        if (child->name == wanted) found.push_back(child.get());
        for (const Element* e : child->all(wanted))
            found.push_back(e);
    }
    return found;
}

namespace {

// A recursive reader of the subset of XML the preview writes. Whatever is not well formed (an
// end tag that closes another element, an unquoted or repeated attribute, a "<" inside a value,
// an element left open) stops it with a message.
class Parser {
public:
    explicit Parser(std::string_view text) : s_(text) {}

    std::unique_ptr<Element> document(std::string* error) {
        auto root = std::make_unique<Element>();
        root->name = "#document";
        if (content(*root) && root->children.empty()) error_ = "no element";
        if (!error_.empty()) {
            if (error) *error = error_ + " at " + std::to_string(p_);
            return nullptr;
        }
        if (root->children.size() != 1) return root;
        // The one element is the document: it outlives the root that held it.
        std::unique_ptr<Element> only = std::move(root->children[0]);
        only->parent = nullptr;
        return only;
    }

private:
    bool fail(const std::string& why) {
        error_ = why;
        return false;
    }
    bool take(std::string_view t) {
        blanks();
        if (s_.substr(p_, t.size()) != t) return false;
        p_ += t.size();
        return true;
    }
    void blanks() {
        while (p_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[p_])))
            ++p_;
    }
    std::string name() {
        const std::size_t b = p_;
        while (p_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[p_])) ||
                                  std::strchr("-:_", s_[p_]) != nullptr))
            ++p_;
        return std::string(s_.substr(b, p_ - b));
    }

    // Children and text of parent until its end tag (or the end of the text for the document).
    bool content(Element& parent) {
        while (p_ < s_.size()) {
            const std::size_t lt = s_.find('<', p_);
            parent.text += std::string(s_.substr(p_, lt - p_));
            if (lt == std::string_view::npos) break;
            p_ = lt;
            if (take("<?") || take("<!")) {
                p_ = s_.find('>', p_);
                if (p_ == std::string_view::npos) return fail("unclosed declaration");
                ++p_;
            } else if (take("</")) {
                const std::string n = name();
                if (n != parent.name) return fail("end tag " + n + " closes " + parent.name);
                return take(">") || fail("bad end tag");
            } else {
                ++p_;
                auto child = std::make_unique<Element>();
                child->parent = &parent;
                if (!element(*child)) return false;
                parent.children.push_back(std::move(child));
            }
        }
        p_ = s_.size();
        return parent.name == "#document" || fail("unclosed " + parent.name);
    }

    bool element(Element& e) {
        e.name = name();
        if (e.name.empty()) return fail("no element name");
        for (;;) {
            if (take("/>")) return true;
            if (take(">")) return content(e);
            const std::string key = name();
            if (key.empty()) return fail("bad attribute");
            if (!take("=") || !take("\"")) return fail("unquoted attribute " + key);
            const std::size_t close = s_.find('"', p_);
            if (close == std::string_view::npos) return fail("unclosed attribute");
            const std::string value(s_.substr(p_, close - p_));
            if (value.find('<') != std::string::npos) return fail("< in an attribute");
            if (!e.attributes.emplace(key, value).second) return fail("repeated attribute " + key);
            p_ = close + 1;
        }
    }

    std::string_view s_;
    std::size_t p_ = 0;
    std::string error_;
};

}  // namespace

std::unique_ptr<Element> parse(std::string_view text, std::string* error) {
    return Parser(text).document(error);
}

std::unique_ptr<Element> svgById(std::string_view page, std::string_view id) {
    const std::string marker = "<svg xmlns=\"http://www.w3.org/2000/svg\" id=\"" + std::string(id);
    const std::size_t start = page.find(marker);
    if (start == std::string_view::npos) return nullptr;
    const std::size_t end = page.find("</svg>", start);
    if (end == std::string_view::npos) return nullptr;
    return parse(page.substr(start, end + 6 - start));
}

std::vector<Point> pathPoints(std::string_view d) {
    std::vector<Point> points;
    std::vector<double> numbers;
    char command = 0;
    auto flush = [&] {
        // An arc's end point is the last pair of its seven numbers.
        const std::size_t group = command == 'A' ? 7 : 2;
        for (std::size_t i = 0; i + group <= numbers.size(); i += group)
            points.push_back({numbers[i + group - 2], -numbers[i + group - 1]});
        numbers.clear();
    };
    std::size_t i = 0;
    while (i < d.size()) {
        const char c = d[i];
        if (std::isalpha(static_cast<unsigned char>(c))) {
            flush();
            command = c;
            ++i;
        } else if (c == ' ' || c == ',') {
            ++i;
        } else {
            char* end = nullptr;
            const std::string rest(d.substr(i, 32));
            const double v = std::strtod(rest.c_str(), &end);
            if (end == rest.c_str()) {
                ++i;  // no number here: skip the byte
                continue;
            }
            numbers.push_back(v);
            i += static_cast<std::size_t>(end - rest.c_str());
        }
    }
    flush();
    return points;
}

std::array<double, 4> boundsOf(const std::vector<Point>& points) {
    constexpr double kBig = std::numeric_limits<double>::max();
    std::array<double, 4> b{kBig, kBig, -kBig, -kBig};
    for (const Point& p : points) {
        b[0] = std::min(b[0], p.x);
        b[1] = std::min(b[1], p.y);
        b[2] = std::max(b[2], p.x);
        b[3] = std::max(b[3], p.y);
    }
    return b;
}

}  // namespace svgtest
