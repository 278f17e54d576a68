#include "scene/ScriptReader.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <string_view>
#include <system_error>

#include "text/AnsiText.h"
#include "scene/LineReader.h"

namespace qv {

using namespace std::string_view_literals;

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kLogoWidth = 37.6f;
constexpr float kLogoHeight = 8.0f;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// strtod's leading white space (blanks and tabs are gone from a prepared
// line, but a stray CR or form feed may remain).
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// A decimal number from the start of text as strtod reads one: optional
// sign, digits, optional fraction, optional exponent. Done by hand so that
// neither the locale's decimal point nor a C library's extensions (hex,
// "inf", "nan") change what a script means on either platform.
double parseDecimal(const std::string& text, std::size_t from) {
    std::size_t i = from;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t mantissaStart = i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    std::size_t end = i;
    // An exponent counts only when at least one digit follows it.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) ++j;
            end = j;
        }
    }
    double value = 0.0;
    const char* first = text.data() + mantissaStart;
    const char* last = text.data() + end;
    const auto result = std::from_chars(first, last, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large gives infinity, too small zero, as strtod does.
        value = 0.0;
        std::size_t k = mantissaStart;
        long magnitude = 0;  // decimal position of the first significant digit
        while (k < end && (text[k] == '0' || text[k] == '.')) ++k;
        if (k < end && isDigit(text[k])) {
            std::size_t point = text.find('.', mantissaStart);
            if (point == std::string::npos || point > end) point = end;
            long exponent = 0;
            std::size_t e = text.find_first_of("eE", mantissaStart);
            if (e != std::string::npos && e < end) {
                std::size_t j = e + 1;
                const bool expNegative = text[j] == '-';
                if (text[j] == '+' || text[j] == '-') ++j;
                for (; j < end && exponent < 100000; ++j) exponent = exponent * 10 + (text[j] - '0');
                if (expNegative) exponent = -exponent;
                if (point > e) point = e;
            }
            magnitude = (k < point ? static_cast<long>(point - k) - 1 : -static_cast<long>(k - point)) +
                        exponent;
            if (magnitude > 0) value = std::numeric_limits<double>::infinity();
        }
    }
    return negative ? -value : value;
}

// A double rounded to single precision the way the processor rounds it,
// without the undefined behaviour of converting an out-of-range value.
float toFloat(double value) {
    constexpr double kMax = std::numeric_limits<float>::max();
    if (std::isnan(value) || std::fabs(value) <= kMax) return static_cast<float>(value);
    // Above the largest float by half an ulp (2^103) or more: infinity.
    const double halfUlp = std::ldexp(1.0, 103);
    const float big = std::fabs(value) >= kMax + halfUlp ? std::numeric_limits<float>::infinity()
                                                         : std::numeric_limits<float>::max();
    return value < 0 ? -big : big;
}

// A line made ready for its key: blanks and tabs gone, comment cut.
void prepare(std::string& line) {
    std::size_t out = 0;
    for (char c : line)
        if (c != ' ' && c != '\t') line[out++] = c;
    line.resize(out);
    const auto hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
}

std::string keyOf(const std::string& line) {
    const auto eq = line.find('=');
    return eq == std::string::npos ? line : line.substr(0, eq);
}

std::string valueOf(const std::string& line) {
    const auto eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

// The keys each kind of unit understands; the readers below handle the same.
constexpr std::string_view kHeaderKeys[] = {
    "SET", "WAIT", "SX", "SY", "TIME", "END", "EFFECT", "SCRIPT", "SCENETIME", "CONTINUE", "RANDOM"};
constexpr std::string_view kBlockKeys[] = {
    "SET",    "SOURCE", "WAIT",   "LAYER",  "SX",     "SY",    "EX",    "EY",    "SWIDTH",
    "SHEIGHT", "EWIDTH", "EHEIGHT", "TIME", "SALPHA", "EALPHA", "SRED", "SGREEN", "SBLUE",
    "ERED",   "EGREEN", "EBLUE",  "SROT",   "EROT",   "TAPE",  "STILL", "END"};

template <std::size_t N>
bool listed(const std::string_view (&keys)[N], const std::string& key) {
    for (std::string_view k : keys)
        if (k == key) return true;
    return false;
}

bool isLogo(const std::string& name) { return name == ".\\logo_gd.bmp" || name == ".\\logo_gb.bmp"; }

int defaultPick(int count) {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    return std::rand() % count;
}

}  // namespace

ScriptReader::ScriptReader(FilesPort& files) : pickRandom(defaultPick), files_(files) {
    resetToDefaults();
}

ScriptReader::~ScriptReader() = default;

bool ScriptReader::open(const std::string& filePath) {
    close();
    path = filePath;
    auto stream = files_.openRead(filePath);
    const bool opened = stream != nullptr;
    lines_ = std::make_unique<LineReader>(std::move(stream));
    return opened;
}

void ScriptReader::close() { lines_.reset(); }

void ScriptReader::resetToDefaults() {
    still = -1;
    tape = 0;
    erot = srot = 0;
    sblue = sgreen = sred = 255;
    eblue = egreen = ered = 255;
    ealpha = salpha = 255;
    eheight = ewidth = sheight = swidth = 10;
    effect = kEffectPhoto;
    layer = 0;
    time = 0;
    ey = ex = sy = sx = 0;
    wait = 0;
    flag = 0;
    path.clear();
}

void ScriptReader::resetToUnset() {
    // still keeps its value: change blocks have no use for it.
    tape = kUnset;
    erot = srot = kUnset;
    sblue = sgreen = sred = kUnset;
    eblue = egreen = ered = kUnset;
    ealpha = salpha = kUnset;
    eheight = ewidth = sheight = swidth = kUnset;
    effect = kEffectChange;
    layer = kUnset;
    time = kUnsetDouble;
    ey = ex = sy = sx = kUnset;
    wait = kUnset;
    flag = 0;
    path.clear();
}

double ScriptReader::readNumber(const std::string& line, const std::string& key) {
    const std::size_t skip = key.size() + 1;  // the key and its "="
    if (line.size() <= skip) return 0.0;
    return parseDecimal(line, skip);
}

bool ScriptReader::isHeaderKey(const std::string& upperKey) { return listed(kHeaderKeys, upperKey); }
bool ScriptReader::isBlockKey(const std::string& upperKey) { return listed(kBlockKeys, upperKey); }

int ScriptReader::lineNumber() const { return lines_ ? lines_->lineNumber() : 0; }

bool ScriptReader::readSceneHeader(bool& ranIntoEnd) {
    ranIntoEnd = true;
    flag = 0;
    sx = sy = 0;
    if (!lines_) return flag != 0;
    std::string line;
    auto number = [&](const char* key) { return readNumber(line, key); };
    for (int count = 0; count < kHeaderLineLimit; ++count) {
        if (!lines_->next(line)) break;
        prepare(line);
        // Upper-cased once; the words below are upper case.
        const std::string key = upperAnsi(keyOf(line));
        if (observer) observer->keyLine(lines_->lineNumber(), line, isHeaderKey(key));
        auto is = [&](std::string_view word) { return key == word; };
        if (is("SET"sv)) {
        } else if (is("WAIT"sv)) {
            wait = toFloat(number("wait"));
        } else if (is("SX"sv)) {
            sx = toFloat(number("sx"));
        } else if (is("SY"sv)) {
            sy = toFloat(number("sy"));
        } else if (is("TIME"sv)) {
            time = number("time");
        } else if (is("END"sv)) {
            ranIntoEnd = false;
            break;
        } else if (is("EFFECT"sv)) {
            const std::string word = valueOf(line);
            if (equalsNoCaseAnsi(word, "photo"))
                effect = kEffectPhoto;
            else if (equalsNoCaseAnsi(word, "movie"))
                effect = kEffectMovie;
            else if (equalsNoCaseAnsi(word, "camera"))
                effect = kEffectCamera;
            else if (equalsNoCaseAnsi(word, "change"))
                effect = kEffectChange;
            else
                effect = kEffectPhoto;
        } else if (is("SCRIPT"sv)) {
            // Once the header hands over, its chained name stands: a script
            // line after continue or random must not turn a layer file into
            // the next scene script.
            if (flag == 0) name = valueOf(line);
        } else if (is("SCENETIME"sv)) {
            wait = toFloat(number("scenetime"));
        } else if (is("CONTINUE"sv)) {
            name = valueOf(line);
            flag = 1;
            ranIntoEnd = false;
        } else if (is("RANDOM"sv)) {
            // The names are taken whole: blanks and '#' belong to them.
            std::array<std::string, kRandomNameLimit> names;
            int found = 0;
            while (found < kRandomNameLimit && lines_->next(names[found])) {
                if (observer) observer->randomName(lines_->lineNumber(), names[found]);
                ++found;
            }
            if (found == 0) {
                // Nothing to choose from ends the scene script, even after
                // a continue in the same header: no chain, and the header
                // counts as having run into the end.
                flag = 0;
                ranIntoEnd = true;
                return false;
            }
            int pick = pickRandom ? pickRandom(found) : 0;
            pick = ((pick % found) + found) % found;
            name = names[pick];
            flag = 1;
            ranIntoEnd = false;
        }
    }
    return flag != 0;
}

bool ScriptReader::readLayerBlock(float& layer2Wait, bool& ranIntoEnd) {
    ranIntoEnd = true;
    flag = 0;
    if (!lines_) return false;
    std::string line;
    for (int count = 0; count < kBlockLineLimit; ++count) {
        if (!lines_->next(line)) break;
        prepare(line);
        const std::string key = upperAnsi(keyOf(line));
        if (observer) observer->keyLine(lines_->lineNumber(), line, isBlockKey(key));
        auto is = [&](std::string_view word) { return key == word; };
        auto number = [&](const char* word) { return toFloat(readNumber(line, word)); };
        // A start value also sets its end value unless the block leaves that unset.
        auto setStart = [](float& start, float& end, float value) {
            start = value;
            if (!isUnset(end)) end = value;
        };
        if (is("SET"sv)) {
            flag = 1;
        } else if (is("SOURCE"sv)) {
            name = valueOf(line);
        } else if (is("WAIT"sv)) {
            wait = number("wait");
            if (flag == 0) layer2Wait = wait;
        } else if (is("LAYER"sv)) {
            layer = number("layer");
        } else if (is("SX"sv)) {
            setStart(sx, ex, number("sx"));
        } else if (is("SY"sv)) {
            setStart(sy, ey, number("sy"));
        } else if (is("EX"sv)) {
            ex = number("ex");
        } else if (is("EY"sv)) {
            ey = number("ey");
        } else if (is("SWIDTH"sv)) {
            setStart(swidth, ewidth, isLogo(name) ? kLogoWidth : number("swidth"));
        } else if (is("SHEIGHT"sv)) {
            setStart(sheight, eheight, isLogo(name) ? kLogoHeight : number("sheight"));
        } else if (is("EWIDTH"sv)) {
            ewidth = isLogo(name) ? kLogoWidth : number("ewidth");
        } else if (is("EHEIGHT"sv)) {
            eheight = isLogo(name) ? kLogoHeight : number("eheight");
        } else if (is("TIME"sv)) {
            time = readNumber(line, "time");
        } else if (is("SALPHA"sv)) {
            setStart(salpha, ealpha, number("salpha"));
        } else if (is("EALPHA"sv)) {
            ealpha = number("ealpha");
        } else if (is("SRED"sv)) {
            setStart(sred, ered, number("sred"));
        } else if (is("SGREEN"sv)) {
            setStart(sgreen, egreen, number("sgreen"));
        } else if (is("SBLUE"sv)) {
            setStart(sblue, eblue, number("sblue"));
        } else if (is("ERED"sv)) {
            ered = number("ered");
        } else if (is("EGREEN"sv)) {
            egreen = number("egreen");
        } else if (is("EBLUE"sv)) {
            eblue = number("eblue");
        } else if (is("SROT"sv)) {
            setStart(srot, erot, number("srot") * kDegreesToRadians);
        } else if (is("EROT"sv)) {
            erot = number("erot") * kDegreesToRadians;
        } else if (is("TAPE"sv)) {
            tape = number("tape");
        } else if (is("STILL"sv)) {
            still = number("still");
        } else if (is("END"sv)) {
            ranIntoEnd = false;
            break;
        }
    }
    return flag != 0;
}

}  // namespace qv
