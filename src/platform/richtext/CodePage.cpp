#include "platform/richtext/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <map>
#include <string>
#include <utility>

namespace richtext {

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// iconv's name of a Windows code page number.
std::string iconvName(int codePage)
{
    switch (codePage) {
    case 65001:
        return "UTF-8";
    case 10000:
        return "MACINTOSH";
    case 20866:
        return "KOI8-R";
    case 21866:
        return "KOI8-U";
    case 1361:
        return "JOHAB";
    default:
        break;
    }
    if (codePage >= 28591 && codePage <= 28606) {
        return "ISO-8859-" + std::to_string(codePage - 28590);
    }
    return "CP" + std::to_string(codePage);
}

// One converter per code page and direction, opened on first use and kept
// for the run: RTF switches code pages with every font change.
class Converters {
public:
    ~Converters()
    {
        for (auto& [key, converter] : converters_) {
            if (converter != kNoConverter) {
                iconv_close(converter);
            }
        }
    }

    iconv_t Get(int codePage, bool decoding)
    {
        const auto key = std::make_pair(codePage, decoding);
        auto found = converters_.find(key);
        if (found == converters_.end()) {
            const std::string page = iconvName(codePage);
            iconv_t converter = decoding ? iconv_open("UTF-8", page.c_str()) : iconv_open(page.c_str(), "UTF-32LE");
            found = converters_.emplace(key, converter).first;
        }
        return found->second;
    }

private:
    std::map<std::pair<int, bool>, iconv_t> converters_;
};

Converters& converters()
{
    static Converters instance;
    return instance;
}

iconv_t decoderOf(int codePage)
{
    iconv_t converter = converters().Get(codePage, true);
    return converter != kNoConverter ? converter : converters().Get(kWindowsLatin1, true);
}

const char kReplacementUtf8[] = "\xEF\xBF\xBD";

} // namespace

int CodePageOfCharset(int charset)
{
    static const std::map<int, int> codePages = {
        {77, 10000}, {128, 932}, {129, 949}, {130, 1361}, {134, 936},  {136, 950},  {161, 1253},
        {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874},
        {238, 1250}, {254, 437},  {255, 437},
    };
    const auto found = codePages.find(charset);
    return found == codePages.end() ? 0 : found->second;
}

QString DecodeCodePage(const QByteArray& bytes, int codePage)
{
    iconv_t converter = decoderOf(codePage);
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    std::string decoded;
    char buffer[1024];
    char* in = const_cast<char*>(bytes.constData());
    std::size_t inLeft = static_cast<std::size_t>(bytes.size());
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
        decoded.append(buffer, static_cast<std::size_t>(out - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // A byte the page does not define, or a sequence cut short.
            decoded += kReplacementUtf8;
            ++in;
            --inLeft;
            iconv(converter, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return QString::fromUtf8(decoded);
}

QByteArray EncodeCodePage(char32_t character, int codePage)
{
    iconv_t converter = converters().Get(codePage, false);
    if (converter == kNoConverter) {
        return {};
    }
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    unsigned char input[4] = {
        static_cast<unsigned char>(character & 0xFF),
        static_cast<unsigned char>((character >> 8) & 0xFF),
        static_cast<unsigned char>((character >> 16) & 0xFF),
        static_cast<unsigned char>((character >> 24) & 0xFF),
    };
    char* in = reinterpret_cast<char*>(input);
    std::size_t inLeft = sizeof input;
    char output[8];
    char* out = output;
    std::size_t outLeft = sizeof output;
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
        return {};
    }
    // Stateful pages may need a closing shift sequence.
    iconv(converter, nullptr, nullptr, &out, &outLeft);
    return QByteArray(output, static_cast<qsizetype>(out - output));
}

} // namespace richtext
