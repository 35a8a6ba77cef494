#pragma once
// TempolinClient: how Kinlore II hands a date to Tempolin, the suite's date
// calculator. Tempolin offers its commands on the session bus; when it is
// not running, the tempolin program beside this one is started and given a
// few seconds to come up. The date is then entered into Tempolin's window
// without waiting for it.
//
// Thread: main thread.
#include <QString>

namespace kl {

class TempolinClient {
public:
    // The tempolin program beside the running executable.
    static QString defaultProgram();

    // False when Tempolin is not on the bus and could not be started (the
    // caller tells the user it could not be found). An empty date only
    // starts Tempolin.
    static bool enterDateText(const QString& date, const QString& program = defaultProgram(),
                              int startMilliseconds = 10000);
};

}  // namespace kl
