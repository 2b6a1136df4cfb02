#include "platform/visio/package/XmlWriter.h"

#include <cstring>

namespace visio::pkg {
namespace {

class Writer {
public:
    Writer(std::string& out, std::string_view buffer, char quote, const XmlStyle* style)
        : out_(out), buffer_(buffer), quote_(quote), style_(style) {}

    // Depth first without recursion, so deep nesting cannot exhaust the stack.
    void write(pugi::xml_node root) {
        pugi::xml_node node = root;
        for (;;) {
            if (node.type() == pugi::node_element) {
                startTag(node);
                if (hasContent(node)) {
                    out_ += '>';
                    node = node.first_child();
                    continue;
                }
                finishEmpty(node);
            } else {
                leaf(node);
            }
            while (node != root && !node.next_sibling()) {
                node = node.parent();
                endTag(node);
            }
            if (node == root)
                return;
            node = node.next_sibling();
        }
    }

private:
    template <typename Map>
    const typename Map::mapped_type* noted(const Map& map, const char* text) const {
        if (map.empty())
            return nullptr;
        auto it = map.find(offsetIn(buffer_, text));
        return it == map.end() ? nullptr : &it->second;
    }

    const ElementStyle* elementStyle(pugi::xml_node node) const {
        const ElementStyle* style = style_ ? noted(style_->elements, node.name()) : nullptr;
        return style && style->name == node.name() ? style : nullptr;
    }

    // A text emptied by the caller leaves an empty text node: it does not make
    // <X></X> out of <X/>.
    static bool hasContent(pugi::xml_node node) {
        for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
            if (child.type() != pugi::node_pcdata || *child.value())
                return true;
        return false;
    }

    static bool headStillApplies(pugi::xml_node node, const ElementStyle& style) {
        if (style.rawHead.empty())
            return false;
        std::size_t i = 0;
        for (pugi::xml_attribute attribute : node.attributes()) {
            if (i + 1 >= style.attributes.size() || style.attributes[i] != attribute.name() ||
                style.attributes[i + 1] != attribute.value())
                return false;
            i += 2;
        }
        return i == style.attributes.size();
    }

    void startTag(pugi::xml_node node) {
        const ElementStyle* style = elementStyle(node);
        if (style && headStillApplies(node, *style)) {
            out_ += style->rawHead;
            return;
        }
        out_ += '<';
        out_ += node.name();
        for (pugi::xml_attribute attribute : node.attributes()) {
            out_ += ' ';
            out_ += attribute.name();
            out_ += '=';
            out_ += quote_;
            escaped(attribute.value(), true);
            out_ += quote_;
        }
    }

    void finishEmpty(pugi::xml_node node) {
        const ElementStyle* style = elementStyle(node);
        bool asPair = style && style->emptyAsPair ? *style->emptyAsPair : style_ && style_->emptyAsPair;
        if (!asPair) {
            out_ += "/>";
            return;
        }
        out_ += '>';
        endTag(node);
    }

    void endTag(pugi::xml_node node) {
        const ElementStyle* style = elementStyle(node);
        if (style && !style->rawEndTag.empty()) {
            out_ += style->rawEndTag;
            return;
        }
        out_ += "</";
        out_ += node.name();
        out_ += '>';
    }

    void leaf(pugi::xml_node node) {
        switch (node.type()) {
        case pugi::node_pcdata:
            if (const TextStyle* text = style_ ? noted(style_->texts, node.value()) : nullptr;
                text && text->value == node.value())
                out_ += text->raw;
            else
                escaped(node.value(), false);
            break;
        case pugi::node_cdata:
            cdata(node.value());
            break;
        case pugi::node_comment:
            out_ += "<!--";
            out_ += node.value();
            out_ += "-->";
            break;
        case pugi::node_pi:
        case pugi::node_declaration:
            instruction(node);
            break;
        default:
            break;
        }
    }

    void instruction(pugi::xml_node node) {
        const InstructionStyle* style = style_ ? noted(style_->instructions, node.name()) : nullptr;
        if (style && style->name == node.name() && style->value == node.value()) {
            out_ += style->raw;
            return;
        }
        out_ += "<?";
        out_ += node.name();
        if (*node.value()) {
            out_ += ' ';
            out_ += node.value();
        }
        out_ += "?>";
    }

    // "]]>" cannot stand inside a CDATA section: it is split over two.
    void cdata(const char* text) {
        out_ += "<![CDATA[";
        for (const char* end; (end = std::strstr(text, "]]>")) != nullptr; text = end + 2) {
            out_.append(text, static_cast<std::size_t>(end - text) + 2);
            out_ += "]]><![CDATA[";
        }
        out_ += text;
        out_ += "]]>";
    }

    void escaped(const char* text, bool attribute) {
        const char* run = text;
        for (; *text; ++text) {
            const char* entity = entityFor(*text, attribute);
            if (!entity)
                continue;
            out_.append(run, static_cast<std::size_t>(text - run));
            out_ += entity;
            run = text + 1;
        }
        out_.append(run, static_cast<std::size_t>(text - run));
    }

    // White space in an attribute is written as a character reference, since a
    // reader turns a raw line end or tab there into a blank.
    const char* entityFor(char c, bool attribute) const {
        switch (c) {
        case '&': return "&amp;";
        case '<': return "&lt;";
        case '>': return "&gt;";
        case '\'': return attribute && quote_ == '\'' ? "&apos;" : nullptr;
        case '"': return attribute && quote_ == '"' ? "&quot;" : nullptr;
        case '\t': return attribute ? "&#x9;" : nullptr;
        case '\n': return attribute ? "&#xA;" : nullptr;
        case '\r': return attribute ? "&#xD;" : nullptr;
        default: return nullptr;
        }
    }

    std::string& out_;
    std::string_view buffer_;
    char quote_;
    const XmlStyle* style_;
};

} // namespace

void writeXml(std::string& out, pugi::xml_node root, std::string_view buffer, char quote,
              const XmlStyle* style) {
    Writer(out, buffer, quote, style).write(root);
}

} // namespace visio::pkg
