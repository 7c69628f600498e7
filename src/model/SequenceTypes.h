#pragma once

// Numeric values are those stored in the settings and used throughout.

// Operation mode of a channel.
enum OperationMode { ModeCV = 0, ModeCC = 1, ModeCR = 2, ModeCCCV = 3, ModeCRCV = 4 };

// Time unit of the step intervals.
enum TimeUnit { UnitMs = 0, UnitS = 1, UnitMin = 2, UnitH = 3 };

// Who times the steps: the PC or the instrument.
enum ControlMethod { SoftwareControl = 0, HardwareControl = 1 };

// Sequence mode (setting SeqMode).
enum SequenceMode { NormalSequence = 0, FastSequence = 1 };

// The load has five channels; every table and per-channel setting is bounded to them.
constexpr int kChannelCount = 5;
// Slots of one channel's step table.
constexpr int kMaxSteps = 1024;
// Step limit of normal-mode Hardware Control (the instrument's program memory).
constexpr int kHardwareStepLimit = 255;
