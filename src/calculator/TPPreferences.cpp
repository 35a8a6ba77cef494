#include "calculator/TPPreferences.h"

#include "calculator/CalcEngine.h"
#include "foundation/UserDefaults.h"

namespace kl::tempolin {

Dictionary registeredDefaults()
{
    return Dictionary{
        {kDateDisplayFormat, Value(CalcEngine::kDefaultDisplayFormat)},
        {kTimeDisplayTag, Value(1)},
        {kAssumedCentury, Value(2000)},
        {kAssumedMonthDayOrder, Value(1)},
    };
}

void applyPrefs(CalcEngine& engine, const UserDefaults& defaults)
{
    engine.setAssumedCentury(static_cast<int>(defaults.integerForKey(kAssumedCentury)));
    engine.setMonthDayOrder(static_cast<int>(defaults.integerForKey(kAssumedMonthDayOrder)));
    engine.setTimeDisplayStyle(static_cast<int>(defaults.integerForKey(kTimeDisplayTag)));
}

std::string displayFormat(const UserDefaults& defaults)
{
    return defaults.stringForKey(kDateDisplayFormat).value_or(CalcEngine::kDefaultDisplayFormat);
}

} // namespace kl::tempolin
