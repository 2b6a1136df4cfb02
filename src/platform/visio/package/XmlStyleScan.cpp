#include <cstring>

#include "platform/visio/package/XmlStyle.h"

namespace visio::pkg {
namespace {

constexpr std::size_t npos = std::string_view::npos;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool endsName(char c) { return isSpace(c) || c == '=' || c == '>' || c == '/' || c == '<' || c == '?'; }

// True when the escapes of `raw` are the ones the writer produces: &amp; &lt;
// &gt; (and in an attribute the entity of its quote), with no raw '>' and, in
// an attribute, no raw '<' or white space other than blanks.
bool plainlyEscaped(std::string_view raw, char quote, bool attribute) {
    for (std::size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (c == '>' || (attribute && (c == '<' || c == '\t' || c == '\n' || c == '\r')))
            return false;
        if (c != '&')
            continue;
        std::string_view rest = raw.substr(i + 1);
        std::string_view quoteEntity = quote == '"' ? "quot;" : "apos;";
        std::size_t length = rest.starts_with("amp;") ? 4 : rest.starts_with("lt;") || rest.starts_with("gt;") ? 3
                           : attribute && rest.starts_with(quoteEntity) ? 5 : 0;
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

struct OpenElement {
    std::size_t nameOffset;
    std::size_t contentBegin;
};

class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    XmlScan run() {
        while (pos_ < text_.size() && !scan_.rootEnd) {
            std::size_t lt = text_.find('<', pos_);
            if (!open_.empty())
                noteText(pos_, lt == npos ? text_.size() : lt);
            if (lt == npos)
                break;
            pos_ = lt;
            if (!markup())
                break;
        }
        scan_.style.emptyAsPair = partEmptyAsPair_.value_or(false);
        return std::move(scan_);
    }

private:
    bool at(std::string_view what) const { return text_.substr(pos_).starts_with(what); }

    // Moves past the next `terminator`; false when there is none.
    bool skipPast(std::string_view terminator, std::size_t from) {
        std::size_t end = text_.find(terminator, from);
        if (end == npos)
            return false;
        pos_ = end + terminator.size();
        return true;
    }

    bool markup() {
        if (at("<!--"))
            return skipPast("-->", pos_ + 4);
        if (at("<![CDATA["))
            return skipPast("]]>", pos_ + 9);
        if (at("<!")) {
            if (at("<!DOCTYPE"))
                scan_.doctypeAt = pos_;
            return false;
        }
        if (at("<?"))
            return instruction();
        if (at("</"))
            return endTag();
        return startTag();
    }

    void noteText(std::size_t begin, std::size_t end) {
        if (begin < end && !plainlyEscaped(text_.substr(begin, end - begin), '"', false))
            scan_.style.texts.emplace(begin, TextStyle{std::string(text_.substr(begin, end - begin)), {}});
    }

    std::size_t nameEnd(std::size_t from) const {
        std::size_t end = from;
        while (end < text_.size() && !endsName(text_[end]))
            ++end;
        return end;
    }

    std::size_t spaceEnd(std::size_t from) const {
        while (from < text_.size() && isSpace(text_[from]))
            ++from;
        return from;
    }

    bool instruction() {
        std::size_t begin = pos_;
        std::size_t nameOffset = pos_ + 2;
        std::size_t valueOffset = spaceEnd(nameEnd(nameOffset));
        if (!skipPast("?>", nameOffset))
            return false;
        if (open_.empty())
            return true;
        std::size_t valueEnd = pos_ - 2;
        std::size_t gap = valueOffset - nameEnd(nameOffset);
        bool hasValue = valueOffset < valueEnd;
        bool plain = hasValue ? gap == 1 && text_[valueOffset - 1] == ' ' : gap == 0;
        if (!plain)
            scan_.style.instructions.emplace(nameOffset,
                                             InstructionStyle{std::string(text_.substr(begin, pos_ - begin)), {}, {}});
        return true;
    }

    bool endTag() {
        std::size_t nameOffset = pos_ + 2;
        std::size_t afterName = nameEnd(nameOffset);
        std::size_t close = spaceEnd(afterName);
        if (open_.empty() || close >= text_.size() || text_[close] != '>')
            return false;
        OpenElement element = open_.back();
        open_.pop_back();
        if (close != afterName)
            scan_.style.elements[element.nameOffset].rawEndTag = std::string(text_.substr(pos_, close + 1 - pos_));
        if (element.contentBegin == pos_)
            noteEmpty(element.nameOffset, true);
        pos_ = close + 1;
        if (open_.empty())
            scan_.rootEnd = pos_;
        return true;
    }

    void noteEmpty(std::size_t nameOffset, bool asPair) {
        if (!partEmptyAsPair_)
            partEmptyAsPair_ = asPair;
        else if (*partEmptyAsPair_ != asPair)
            scan_.style.elements[nameOffset].emptyAsPair = asPair;
    }

    // One attribute from `pos_` (at its leading white space); false when the
    // tag cannot be read on.
    bool attribute(bool& plain) {
        std::size_t nameOffset = spaceEnd(pos_);
        if (nameOffset != pos_ + 1 || text_[pos_] != ' ')
            plain = false;
        std::size_t afterName = nameEnd(nameOffset);
        std::size_t equals = spaceEnd(afterName);
        if (afterName == nameOffset || equals >= text_.size() || text_[equals] != '=')
            return false;
        std::size_t quoteAt = spaceEnd(equals + 1);
        if (quoteAt >= text_.size() || (text_[quoteAt] != '\'' && text_[quoteAt] != '"'))
            return false;
        char quote = text_[quoteAt];
        if (!quoteSeen_) {
            scan_.quote = quote;
            quoteSeen_ = true;
        }
        std::size_t valueEnd = text_.find(quote, quoteAt + 1);
        if (valueEnd == npos)
            return false;
        if (equals != afterName || quoteAt != equals + 1 || quote != scan_.quote ||
            !plainlyEscaped(text_.substr(quoteAt + 1, valueEnd - quoteAt - 1), quote, true))
            plain = false;
        pos_ = valueEnd + 1;
        return true;
    }

    bool startTag() {
        std::size_t begin = pos_;
        std::size_t nameOffset = pos_ + 1;
        pos_ = nameEnd(nameOffset);
        if (pos_ == nameOffset)
            return false;
        bool plain = true;
        for (;;) {
            std::size_t next = spaceEnd(pos_);
            if (next >= text_.size())
                return false;
            if (text_[next] == '>' || (text_[next] == '/' && text_.substr(next).starts_with("/>"))) {
                plain = plain && next == pos_;
                pos_ = next;
                break;
            }
            if (next == pos_ || !attribute(plain))
                return false;
        }
        if (!scan_.rootBegin)
            scan_.rootBegin = begin;
        if (!plain)
            scan_.style.elements[nameOffset].rawHead = std::string(text_.substr(begin, pos_ - begin));
        if (text_[pos_] == '/') {
            noteEmpty(nameOffset, false);
            pos_ += 2;
            if (open_.empty())
                scan_.rootEnd = pos_;
            return true;
        }
        pos_ += 1;
        open_.push_back(OpenElement{nameOffset, pos_});
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    XmlScan scan_;
    std::vector<OpenElement> open_;
    std::optional<bool> partEmptyAsPair_;
    bool quoteSeen_ = false;
};

} // namespace

XmlScan scanXmlStyle(std::string_view text) { return Scanner(text).run(); }

namespace {

void recordNode(XmlStyle& style, pugi::xml_node node, std::string_view buffer) {
    if (node.type() == pugi::node_element) {
        auto it = style.elements.find(offsetIn(buffer, node.name()));
        if (it == style.elements.end())
            return;
        it->second.name = node.name();
        for (pugi::xml_attribute attribute : node.attributes()) {
            it->second.attributes.emplace_back(attribute.name());
            it->second.attributes.emplace_back(attribute.value());
        }
    } else if (node.type() == pugi::node_pcdata) {
        auto it = style.texts.find(offsetIn(buffer, node.value()));
        if (it != style.texts.end())
            it->second.value = node.value();
    } else if (node.type() == pugi::node_pi) {
        auto it = style.instructions.find(offsetIn(buffer, node.name()));
        if (it != style.instructions.end()) {
            it->second.name = node.name();
            it->second.value = node.value();
        }
    }
}

} // namespace

void recordParsedValues(XmlStyle& style, pugi::xml_node root, std::string_view buffer) {
    if (style.empty())
        return;
    // Depth first without recursion, like the writer.
    for (pugi::xml_node node = root; node;) {
        recordNode(style, node, buffer);
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != root && !node.next_sibling())
            node = node.parent();
        node = node == root ? pugi::xml_node() : node.next_sibling();
    }
}

} // namespace visio::pkg
