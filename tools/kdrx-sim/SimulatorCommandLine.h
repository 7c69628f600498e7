#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class KdrxSimulator;
class PrologixController;

// What the kdrx-sim program was asked to do.
struct SimulatorOptions {
    struct ErrorAfter {
        QString command;
        QString error;
    };
    struct Questionable {
        int channel;
        int condition;
    };
    struct Source {
        int channel;
        double openVoltage;
        double resistance;
    };

    bool help = false;
    QString ptyPath;
    QString transcriptPath;
    int baud = 0;
    int stopAfter = -1;
    bool garbage = false;
    std::optional<QString> model;
    std::vector<ErrorAfter> errorsAfter;
    std::vector<Questionable> questionable;
    std::vector<Source> sources;

    // A Prologix-compatible controller in front of the load, on the pty, the standard streams or
    // a TCP port of the loopback interface (port 0: a free one), and its faults.
    bool prologix = false;
    std::optional<int> tcpPort;
    int gpibAddress = 5;
    bool controllerSilent = false;
    std::optional<QString> controllerVersion;
    int cutReplies = -1;
};

// The command line of kdrx-sim and the faults it sets on a simulator.
class SimulatorCommandLine {
public:
    // arguments include the program name first; nothing on a bad command line, with *error set.
    static std::optional<SimulatorOptions> parse(const QStringList& arguments, QString* error);
    static QString usage();
    // Sets the options' faults and devices under test on the simulator.
    static void apply(const SimulatorOptions& options, KdrxSimulator& simulator);
    // Sets the controller's faults and the load's address on its bus.
    static void applyController(const SimulatorOptions& options, PrologixController& controller);
};
