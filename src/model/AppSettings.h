#pragma once

#include "model/SequenceTypes.h"

#include <QString>
#include <array>

// Every persistent setting of the program, held by the main frame (or tessorctl) and handed by
// reference to the parts that read or change it. Member names are the profile keys; per-channel
// keys (the key name followed by the channel number 1..5) are arrays indexed by channel 0..4.
struct AppSettings {
    template <typename T> using PerChannel = std::array<T, kChannelCount>;

    // Application key: main window rectangle and start-up flags.
    int Top = 0;
    int Left = 0;
    int Bottom = 500;
    int Right = 500;
    int bPos = 0;
    int bFile = 0;

    // Config: connection and instrument.
    int Interface = 0;  // 0 RS-232C, 1 GPIB
    int Port = 1;       // COM port number
    int Maker = 1;      // GPIB board maker 1..5, 6 a Prologix-compatible controller
    int Address = 1;    // GPIB address
    int Machine = 0;    // instrument family; forced to 6 (KDR-X) after loading
    QString PortDevice; // serial device path, "simulator", or empty for /dev/ttyS(Port-1)
    QString GpibDevice; // the GPIB controller's serial device path or network address (Maker 6)

    // Config: sequence and control.
    int SeqCtl = SoftwareControl;
    int SeqMode = NormalSequence;
    double SeqTime = 1.0;
    int UnitSoft = UnitS;
    int UnitHard = UnitS;
    int Mode = 1;
    int VoltPlace = 1;
    int CurrPlace = 2;
    int ResistPlace = 1;
    int PowerPlace = 2;
    int Tsr = 0; // sequence file separator: 0 TAB, 1 comma
    int Txt = 0; // monitoring file separator: 0 TAB, 1 comma
    QString Ext = QStringLiteral("txt");
    std::array<int, 8> RepeatCh{1, 1, 1, 1, 1, 1, 1, 1}; // profile keys Repeat0 .. Repeat7
    int ChainLoop = 0;
    int Repeat = 1; // Transfer dialog options
    int OutOff = 1;
    int AllDel = 1;
    int WriteProgNo = 1; // saved, never read back
    int ReadProgNo = 1;
    int RunProgNo = 1;
    int Memory = 0; // saved, never read back
    double LimitVolt = 10.0;
    double LimitCurr = 1.0;
    int CurrRange = 3;
    int nVoltRange = 2;
    double OffCurr = 0.0;
    int State = 0;
    double Freq = 50.0;

    // Config: monitoring and logging.
    int MonitorTime = 2000;
    int MonSoft = 0;
    int Curr = 0;
    int Volt = 0;
    int Power = 0;
    int File = 0;
    QString Folder; // loads as the user's home folder with a trailing "/" (ProfileStore::defaultFolder)
    int PassTime = 0;
    int MonStart = 0;
    int MonEnd = 0;
    int bCut = 0;
    int CutHour = 1;
    int CutMin = 0;
    int FileMem = 1;

    // Config: values set immediately before processing.
    int bInitCurr = 0;
    int bInitVolt = 0;
    int bInitPower = 0;
    int bInitRes = 0;
    double InitCurr = 0.0;
    double InitVolt = 0.0;
    double InitPower = 150.0;
    double InitRes = 1.0;

    // Config: per channel.
    PerChannel<int> ModeChSoft{0, 0, 0, 0, 0};
    PerChannel<int> ModeChHard{1, 1, 1, 1, 1};
    PerChannel<double> Volt1Ch{};
    PerChannel<double> Volt2Ch{};
    PerChannel<double> CurrCh{};
    PerChannel<int> OutOffCh{1, 1, 1, 1, 1};
    PerChannel<int> OutOffChHard{1, 1, 1, 1, 1};
    PerChannel<int> RunCh{1, 1, 1, 1, 1};
    PerChannel<int> Ch{1, 1, 1, 1, 1};
    PerChannel<int> ChRange{1, 1, 1, 1, 1};
    PerChannel<int> RangeCC{};
    PerChannel<int> RangeCV{};
    PerChannel<int> RangeCR{};
    PerChannel<int> MonFirst{};
    PerChannel<double> Ovp{10.0, 10.0, 10.0, 10.0, 10.0};
    PerChannel<double> Ocp{1.0, 1.0, 1.0, 1.0, 1.0};
    PerChannel<double> Uvp{};
    PerChannel<double> Ucp{};
    PerChannel<int> UvpOn{};
    PerChannel<int> UcpOn{};

    // Derived values, kept current by the parts that change SeqCtl, the mode sets or the units:
    // the active operation mode per channel, the active time unit and the active monitoring
    // timing (0 interval, 1 step end).
    PerChannel<int> ModeCh{0, 0, 0, 0, 0};
    int Unit = UnitS;
    int MonTiming = 0;

    // Recomputes the derived values from SeqCtl and the stored sets.
    void deriveActiveValues();
    // The rules applied after the stored keys were read: no file cut unless lines are written
    // during the run, repeat counts within 1 to 9999 (1 otherwise), the derived values, and the
    // KDR-X family whatever was stored.
    void applyLoadRules();
    // The instrument family code of the KDR-X load.
    static constexpr int kKdrxMachine = 6;
};
