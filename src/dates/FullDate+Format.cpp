#include "dates/FullDate.h"

#include "dates/DateCodes.h"

namespace kl {

using namespace date_codes;

// Symbol styles show a range by its dash alone, so FROM and BET are dropped.
bool FullDate::writesPrefix(int style) const
{
    if (prefix_ == 0)
        return false;
    return !(style >= 3 && second_ && (prefix_ == kFROM || prefix_ == kBET));
}

std::string FullDate::format(const DateFormat& format) const
{
    const int style = format.keywordStyle;
    std::string text;
    if (writesPrefix(style)) {
        text += DateFormat::keywordWord(prefix_, style);
        text += ' ';
    }
    if (first_)
        text += first_->format(format.pattern);
    if (second_) {
        const std::string word = DateFormat::conjunctionWord(conjunction_, style);
        if (style >= 3) {
            text += word;
        } else {
            text += ' ';
            text += word;
            text += ' ';
        }
        text += second_->format(format.pattern);
    }
    if (!phrase_.empty()) {
        if (!text.empty() && text.back() != ' ')
            text += ' ';
        text += phrase_;
    }
    return text;
}

std::string FullDate::prefixText(const DateFormat& format) const
{
    return writesPrefix(format.keywordStyle) ? DateFormat::keywordWord(prefix_, format.keywordStyle) : std::string();
}

std::string FullDate::firstDateText(const DateFormat& format) const
{
    return first_ ? first_->format(format.pattern) : std::string();
}

std::string FullDate::conjunctionText(const DateFormat& format) const
{
    return second_ ? DateFormat::conjunctionPartWord(conjunction_, format.keywordStyle) : std::string();
}

std::string FullDate::secondDateText(const DateFormat& format) const
{
    return second_ ? second_->format(format.pattern) : std::string();
}

namespace {

const char* shortMark(int prefix, bool hasSecond)
{
    switch (prefix) {
    case kFROM: return hasSecond ? "<" : ">";
    case kTO:
    case kBEF:
    case kBET: return "<";
    case kABT:
    case kEST:
    case kCAL:
    case kINT: return "c";
    case kAFT: return ">";
    default: return "";
    }
}

} // namespace

std::string FullDate::shortText() const
{
    const ExactDate* date = second_ ? &*second_ : (first_ ? &*first_ : nullptr);
    if (!date || date->year() == 0)
        return "?";
    std::string text = shortMark(prefix_, second_.has_value());
    if (date->isDoubleYear()) {
        const long long first = static_cast<long long>(date->year()) - date->sign();
        text += formatYearDigits(first < 0 ? -first : first, true);
        text += '/';
        const int later = date->year() % 100;
        if (later < 10)
            text += '0';
        text += std::to_string(later);
    } else {
        text += formatYearDigits(date->year(), true);
    }
    if (date->sign() < 0)
        text += "BC";
    return text;
}

} // namespace kl
