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

std::string_view keyOf(const std::string& line) { return std::string_view(line).substr(0, line.find('=')); }

std::string valueOf(const std::string& line) {
    const auto eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(eq + 1);
}

// The number after a key of keyLength characters and its "=", as strtod
// reads it (0 if none).
double numberAfter(const std::string& line, std::size_t keyLength) {
    const std::size_t skip = keyLength + 1;
    if (line.size() <= skip) return 0.0;
    return parseDecimal(line, skip);
}

int effectOf(const std::string& word) {
    if (equalsNoCaseAnsi(word, "movie")) return kEffectMovie;
    if (equalsNoCaseAnsi(word, "camera")) return kEffectCamera;
    if (equalsNoCaseAnsi(word, "change")) return kEffectChange;
    return kEffectPhoto;  // photo, and any word it does not know
}

bool isLogo(const std::string& name) { return name == ".\\logo_gd.bmp" || name == ".\\logo_gb.bmp"; }

// The C library's generator seeded with the time in seconds, as the show
// has always picked: not meant to be unpredictable, only to vary by run.
int defaultPick(int count) {
    std::srand(static_cast<unsigned>(std::time(nullptr)));  // NOLINT(cert-msc32-c,cert-msc51-cpp)
    return std::rand() % count;                             // NOLINT(cert-msc30-c,cert-msc50-cpp)
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
    // The values' own defaults; the names carry over.
    std::string layerFile = std::move(header.layerFile);
    std::string nextScript = std::move(header.nextScript);
    std::string source = std::move(block.source);
    header = HeaderValues{};
    header.layerFile = std::move(layerFile);
    header.nextScript = std::move(nextScript);
    block = BlockValues{};
    block.source = std::move(source);
    path.clear();
}

void ScriptReader::resetToUnset() {
    header.sceneTime = kUnset;
    header.time = kUnsetDouble;
    header.sx = header.sy = kUnset;
    header.effect = kEffectChange;
    header.chained = false;
    // still keeps its value: change blocks have no use for it.
    BlockValues& b = block;
    b.set = false;
    b.layer = kUnset;
    b.wait = kUnset;
    b.time = kUnsetDouble;
    b.sx = b.sy = b.ex = b.ey = kUnset;
    b.swidth = b.sheight = b.ewidth = b.eheight = kUnset;
    b.salpha = b.ealpha = kUnset;
    b.sred = b.sgreen = b.sblue = kUnset;
    b.ered = b.egreen = b.eblue = kUnset;
    b.srot = b.erot = kUnset;
    b.tape = kUnset;
    path.clear();
}

double ScriptReader::readNumber(const std::string& line, const std::string& key) {
    return numberAfter(line, key.size());
}

int ScriptReader::lineNumber() const { return lines_ ? lines_->lineNumber() : 0; }

bool ScriptReader::skipTo(int count) {
    if (!lines_) return false;
    std::string line;
    while (lines_->lineNumber() < count)
        if (!lines_->next(line)) return false;
    return true;
}

bool ScriptReader::readSceneHeader(bool& ranIntoEnd) {
    HeaderValues& h = header;
    ranIntoEnd = true;
    h.chained = false;
    h.sx = h.sy = 0;
    if (!lines_) return false;
    std::string line;
    for (int count = 0; count < kHeaderLineLimit; ++count) {
        if (!lines_->next(line)) break;
        prepare(line);
        const HeaderKey* key = findHeaderKey(keyOf(line));
        if (observer) observer->headerLine(lines_->lineNumber(), line, key);
        if (key == nullptr) continue;
        switch (key->rule) {
        case KeyRule::Number:
            h.*key->field = toFloat(numberAfter(line, key->key.size()));
            break;
        case KeyRule::Duration:
            h.time = numberAfter(line, key->key.size());
            break;
        case KeyRule::Effect:
            h.effect = effectOf(valueOf(line));
            break;
        case KeyRule::LayerFile:
            // Once the header hands over, its chained name stands: a script
            // line after continue or random must not turn a layer file into
            // the next scene script.
            if (!h.chained) h.layerFile = valueOf(line);
            break;
        case KeyRule::Continue:
            handOver(valueOf(line));
            ranIntoEnd = false;
            break;
        case KeyRule::Random: {
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
                h.chained = false;
                ranIntoEnd = true;
                return false;
            }
            int pick = pickRandom ? pickRandom(found) : 0;
            pick = ((pick % found) + found) % found;
            handOver(names[pick]);
            ranIntoEnd = false;
            break;
        }
        case KeyRule::End:
            ranIntoEnd = false;
            return h.chained;
        default:  // set: known, and nothing to do
            break;
        }
    }
    return h.chained;
}

void ScriptReader::handOver(const std::string& name) {
    header.nextScript = name;
    header.layerFile = name;
    header.chained = true;
}

// A time and a yes/no, both out-parameters, named as such at every call.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
bool ScriptReader::readLayerBlock(float& layer2Wait, bool& ranIntoEnd) {
    BlockValues& b = block;
    ranIntoEnd = true;
    b.set = false;
    if (!lines_) return false;
    std::string line;
    for (int count = 0; count < kBlockLineLimit; ++count) {
        if (!lines_->next(line)) break;
        prepare(line);
        const BlockKey* key = findBlockKey(keyOf(line));
        if (observer) observer->blockLine(lines_->lineNumber(), line, key);
        if (key == nullptr) continue;
        float value = 0;
        switch (key->rule) {
        case KeyRule::Set:
            b.set = true;
            continue;
        case KeyRule::Source:
            b.source = valueOf(line);
            continue;
        case KeyRule::Duration:
            b.time = numberAfter(line, key->key.size());
            continue;
        case KeyRule::End:
            ranIntoEnd = false;
            return b.set;
        case KeyRule::Width:
            value = isLogo(b.source) ? kLogoWidth : toFloat(numberAfter(line, key->key.size()));
            break;
        case KeyRule::Height:
            value = isLogo(b.source) ? kLogoHeight : toFloat(numberAfter(line, key->key.size()));
            break;
        case KeyRule::Degrees:
            value = toFloat(numberAfter(line, key->key.size())) * kDegreesToRadians;
            break;
        default:  // a number
            value = toFloat(numberAfter(line, key->key.size()));
            break;
        }
        b.*key->field = value;
        // A start value also sets its end value unless the block leaves that unset.
        if (key->end != nullptr && !isUnset(b.*key->end)) b.*key->end = value;
        if (key->rule == KeyRule::Delay && !b.set) layer2Wait = value;
    }
    return b.set;
}

}  // namespace qv
