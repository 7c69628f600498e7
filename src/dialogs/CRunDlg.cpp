#include "dialogs/CRunDlg.h"

#include "model/AppSettings.h"
#include "model/CMainDoc.h"
#include "model/CurrentDocument.h"
#include "run/RunEngine.h"
#include "ui/ResourceModule.h"
#include "ui/UserPrompt.h"
#include "views/CColorEdit.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>

namespace {

// The resource string that names the face of the fields.
constexpr int kFieldFaceString = 109;

// Faces close to the Japanese user-interface face in shape and width, in order of preference.
const char* const kSubstituteFaces[] = {"Noto Sans CJK JP",    "IPAPGothic",  "VL PGothic",
                                        "Droid Sans Fallback", "DejaVu Sans", "Liberation Sans",
                                        "Nimbus Sans"};

// The template's control numbers of one channel's panel, which name its controls ("check1101").
struct PanelIds {
    int check, run, lastLoadOff, status, count, countTotal, step, stepTotal, current, voltage, elapsed, day,
        graph;
};
constexpr PanelIds kPanelIds[kChannelCount] = {
    {1101, 1112, 1024, 1019, 1022, 1041, 1023, 1042, 1025, 1026, 1028, 1083, 1039},
    {1102, 1113, 1068, 1020, 1029, 1045, 1030, 1046, 1031, 1032, 1033, 1084, 1040},
    {1103, 1114, 1070, 1021, 1034, 1047, 1035, 1048, 1036, 1037, 1038, 1085, 1044},
    {1104, 1115, 1087, 1069, 1075, 1079, 1076, 1080, 1077, 1078, 1081, 1086, 1049},
    {1107, 1116, 1108, 1088, 1093, 1098, 1095, 1099, 1096, 1097, 1100, 1106, 1067},
};

QByteArray controlName(const char* kind, int id)
{
    return QByteArray(kind) + QByteArray::number(id);
}

QColor colorOf(RunColor color)
{
    return QColor(color.red, color.green, color.blue);
}

// Wide enough for the widest of the texts the field shows, in its own font; a field that shares its
// row with nothing grows with the panel.
void fitWidth(CColorEdit* field, std::initializer_list<const char*> texts, bool grows)
{
    const QFontMetrics metrics(field->font());
    int widest = 0;
    for (const char* text : texts)
        widest = std::max(widest, metrics.horizontalAdvance(QLatin1String(text)));
    // The frame and the line edit's own margins on both sides.
    field->setMinimumWidth(widest + 16);
    if (!grows)
        field->setMaximumWidth(widest + 16);
    // A line edit asks for room for seventeen characters; these fields need only their texts.
    field->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

} // namespace

void CRunDlg::Controls::bind(TemplateForm& form)
{
    for (int c = 0; c < kChannelCount; ++c) {
        const PanelIds& id = kPanelIds[c];
        Panel& panel = panels[static_cast<size_t>(c)];
        const QByteArray number = QByteArray::number(c + 1);
        form.bind(panel.channel, controlName("check", id.check));
        form.bind(panel.run, controlName("button", id.run));
        form.bind(panel.lastLoadOff, controlName("check", id.lastLoadOff));
        form.bind(panel.status, controlName("edit", id.status));
        form.bind(panel.countLabel, "labelCount" + number);
        form.bind(panel.count, controlName("edit", id.count));
        form.bind(panel.countTotal, controlName("label", id.countTotal));
        form.bind(panel.stepLabel, "labelStep" + number);
        form.bind(panel.step, controlName("edit", id.step));
        form.bind(panel.stepTotal, controlName("label", id.stepTotal));
        form.bind(panel.currentLabel, "labelCurrent" + number);
        form.bind(panel.current, controlName("edit", id.current));
        form.bind(panel.voltageLabel, "labelVoltage" + number);
        form.bind(panel.voltage, controlName("edit", id.voltage));
        form.bind(panel.elapsedLabel, "labelElapsed" + number);
        form.bind(panel.elapsed, controlName("edit", id.elapsed));
        form.bind(panel.day, controlName("edit", id.day));
        form.bind(panel.graphArea, controlName("graph", id.graph));
    }
    form.bind(runAll, "button1014");
    form.bind(stopAll, "button1015");
    form.bind(close, "button1");
    form.bind(powerLabel, "labelPower");
    form.bind(power, "edit1027");
    form.bind(sequenceLabel, "labelSequence");
    form.bind(sequence, "edit1094");
    form.bind(sequenceTotal, "labelSequenceTotal");
}

QString CRunDlg::fieldFace(const QString& face)
{
    const QStringList families = QFontDatabase::families();
    if (families.contains(face, Qt::CaseInsensitive))
        return face;
    for (const char* substitute : kSubstituteFaces) {
        if (families.contains(QLatin1String(substitute), Qt::CaseInsensitive))
            return QLatin1String(substitute);
    }
    return QFont().family();
}

CRunDlg::CRunDlg(const TemplateLoader& loader, const Context& context, QWidget* parent)
    : TemplateDialog(loader, QLatin1String(templateName), parent), engine_(context.engine),
      settings_(context.settings), document_(context.document), chooseLogFile_(context.chooseLogFile)
{
    // No close box: a run is ended with its buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    controls_.bind(form());
    for (int c = 0; c < kChannelCount; ++c) {
        const Panel& panel = controls_.panels[static_cast<size_t>(c)];
        connect(panel.channel, &QCheckBox::clicked, this, [this, c](bool checked) {
            engine_.clickChannelCheck(c, checked);
            // The engine may keep the box as it was (the last ticked one).
            controls_.panels[static_cast<size_t>(c)].channel->setChecked(engine_.isChecked(c));
        });
        connect(panel.lastLoadOff, &QCheckBox::clicked, this,
                [this, c](bool checked) { engine_.setLastLoadOff(c, checked); });
        connect(panel.run, &QPushButton::clicked, this, [this, c] { engine_.ToggleChannel(c); });
        panel.day->setText(QStringLiteral("(0day)"));
        // The live graph fills its area of the template.
        auto* layout = new QVBoxLayout(panel.graphArea);
        layout->setContentsMargins(0, 0, 0, 0);
        graphs_[static_cast<size_t>(c)] =
            new CRunGraph(settings_, context.timers, context.graphLook, panel.graphArea);
        layout->addWidget(graphs_[static_cast<size_t>(c)]);
    }
    connect(controls_.runAll, &QPushButton::clicked, this, [this] { engine_.RunAll(); });
    connect(controls_.stopAll, &QPushButton::clicked, this, [this] { engine_.StopAll(); });
    connect(controls_.close, &QPushButton::clicked, this, &CRunDlg::accept);

    for (QWidget* hidden :
         std::initializer_list<QWidget*>{controls_.powerLabel, controls_.power, controls_.sequenceLabel,
                                         controls_.sequence, controls_.sequenceTotal}) {
        hidden->hide();
    }
    controls_.power->setText(QStringLiteral("--"));
    controls_.sequence->setText(QStringLiteral("--"));
    setFieldFonts();
    engine_.setObserver(this);
}

CRunDlg::~CRunDlg()
{
    engine_.setObserver(nullptr);
}

void CRunDlg::setFieldFonts()
{
    const QString face = fieldFace(loader().module().string(kFieldFaceString));
    const auto fontOf = [&face](double points) {
        QFont font(face);
        font.setPointSizeF(points);
        return font;
    };
    for (const Panel& panel : controls_.panels) {
        panel.status->setFont(fontOf(kStatusPointSize));
        for (CColorEdit* field : {panel.count, panel.step, panel.current, panel.voltage, panel.elapsed})
            field->setFont(fontOf(kFieldPointSize));
    }
    controls_.power->setFont(fontOf(kHiddenPointSize));
    controls_.sequence->setFont(fontOf(kHiddenPointSize));
    fitFields();
}

void CRunDlg::fitFields()
{
    for (const Panel& panel : controls_.panels) {
        fitWidth(panel.status, {"Standby", "Running", "Saving", "ALARM", "Error"}, true);
        fitWidth(panel.count, {"9999"}, false);
        fitWidth(panel.step, {"1024"}, false);
        fitWidth(panel.current, {"-00.0000", "000.000"}, true);
        fitWidth(panel.voltage, {"-00.0000", "000.000"}, true);
        fitWidth(panel.elapsed, {"00:00:00"}, true);
        fitWidth(panel.day, {"(999day)"}, false);
    }
}

void CRunDlg::prepare()
{
    setFieldFonts();
    for (int c = 0; c < kChannelCount; ++c)
        controls_.panels[static_cast<size_t>(c)].lastLoadOff->setChecked(settings_.OutOffCh[c] != 0);
    controls_.stopAll->setEnabled(false);
    engine_.prepareDialog();
    // Each panel's graph shows its channel's sequence (the engine has just taken the end times from
    // the intervals).
    if (const CMainDoc* document = document_.get()) {
        for (int c = 0; c < kChannelCount; ++c) {
            if (!engine_.channelState(c).isRunning())
                graphs_[static_cast<size_t>(c)]->load(document->channel(c), settings_.ModeCh[c],
                                                      settings_.RepeatCh[c]);
        }
    }
}

void CRunDlg::storeBoxes()
{
    engine_.closeDialog();
    for (int c = 0; c < kChannelCount; ++c)
        settings_.OutOffCh[c] = controls_.panels[static_cast<size_t>(c)].lastLoadOff->isChecked() ? 1 : 0;
}

void CRunDlg::accept()
{
    if (engine_.anyRunning())
        return;
    TemplateDialog::accept();
}

void CRunDlg::reject()
{
    if (!engine_.dismissDialog())
        return;
    TemplateDialog::reject();
}

void CRunDlg::closeEvent(QCloseEvent* event)
{
    if (!engine_.dismissDialog()) {
        event->ignore();
        return;
    }
    TemplateDialog::closeEvent(event);
}

// ---------------------------------------------------------------------------------------------
// What the engine shows

void CRunDlg::statusChanged(int channel, const QString& text, RunColor textColor, RunColor background)
{
    CColorEdit* status = controls_.panels[static_cast<size_t>(channel)].status;
    status->setText(text);
    status->setTextColor(colorOf(textColor));
    status->setBackgroundColor(colorOf(background));
}

void CRunDlg::statusTextChanged(int channel, const QString& text)
{
    controls_.panels[static_cast<size_t>(channel)].status->setText(text);
}

void CRunDlg::countChanged(int channel, const QString& text)
{
    controls_.panels[static_cast<size_t>(channel)].count->setText(text);
}

void CRunDlg::stepChanged(int channel, const QString& text)
{
    controls_.panels[static_cast<size_t>(channel)].step->setText(text);
}

void CRunDlg::currentChanged(int channel, const QString& text)
{
    controls_.panels[static_cast<size_t>(channel)].current->setText(text);
}

void CRunDlg::voltageChanged(int channel, const QString& text)
{
    controls_.panels[static_cast<size_t>(channel)].voltage->setText(text);
}

void CRunDlg::readingTaken(int channel, const RunReading& reading)
{
    graphs_[static_cast<size_t>(channel)]->addReading(reading);
}

void CRunDlg::elapsedChanged(int channel, const QString& text)
{
    controls_.panels[static_cast<size_t>(channel)].elapsed->setText(text);
}

void CRunDlg::dayChanged(int channel, const QString& text)
{
    controls_.panels[static_cast<size_t>(channel)].day->setText(text);
}

void CRunDlg::totalsChanged(int channel, const QString& countTotal, const QString& stepTotal)
{
    const Panel& panel = controls_.panels[static_cast<size_t>(channel)];
    panel.countTotal->setText(countTotal);
    panel.stepTotal->setText(stepTotal);
}

void CRunDlg::panelEnabled(int channel, bool fields, bool current, bool voltage)
{
    const Panel& panel = controls_.panels[static_cast<size_t>(channel)];
    for (QWidget* widget : std::initializer_list<QWidget*>{panel.status, panel.count, panel.step,
                                                           panel.elapsed, panel.day, panel.lastLoadOff})
        widget->setEnabled(fields);
    panel.current->setEnabled(current);
    panel.voltage->setEnabled(voltage);
    // The labels go grey only for a channel that cannot run at all, and beside a quantity that is
    // not monitored.
    const bool usable = !engine_.channelState(channel).noData;
    for (QWidget* label : std::initializer_list<QWidget*>{panel.countLabel, panel.countTotal, panel.stepLabel,
                                                          panel.stepTotal, panel.elapsedLabel})
        label->setEnabled(usable);
    panel.currentLabel->setEnabled(usable && settings_.Curr == 1);
    panel.voltageLabel->setEnabled(usable && settings_.Volt == 1);
}

void CRunDlg::runButtonChanged(int channel, const QString& text, bool enabled)
{
    QPushButton* run = controls_.panels[static_cast<size_t>(channel)].run;
    run->setText(text);
    run->setEnabled(enabled);
}

void CRunDlg::channelCheckChanged(int channel, bool checked, bool enabled)
{
    QCheckBox* box = controls_.panels[static_cast<size_t>(channel)].channel;
    box->setChecked(checked);
    box->setEnabled(enabled);
}

void CRunDlg::lastLoadOffVisible(bool visible)
{
    for (const Panel& panel : controls_.panels)
        panel.lastLoadOff->setVisible(visible);
}

void CRunDlg::runAllEnabled(bool enabled)
{
    controls_.runAll->setEnabled(enabled);
}

void CRunDlg::stopAllEnabled(bool enabled)
{
    controls_.stopAll->setEnabled(enabled);
}

void CRunDlg::closeEnabled(bool enabled)
{
    controls_.close->setEnabled(enabled);
}

void CRunDlg::captionChanged(const QString& caption)
{
    setWindowTitle(caption);
}

void CRunDlg::graphStarted(int channel)
{
    graphs_[static_cast<size_t>(channel)]->clearMeasurement();
    graphs_[static_cast<size_t>(channel)]->startProgress();
}

void CRunDlg::graphStopped(int channel)
{
    graphs_[static_cast<size_t>(channel)]->stopProgress();
}

bool CRunDlg::graphPassDrawn(int channel)
{
    return graphs_[static_cast<size_t>(channel)]->passDrawn();
}

void CRunDlg::resetGraphPass(int channel)
{
    graphs_[static_cast<size_t>(channel)]->resetPass();
}

// The log's failures are told in the window, with the path and the system's reason.

void CRunDlg::logFinished(const QString& path, bool ok)
{
    if (unattended_) {
        unattended_->logFinished(path, ok);
        return;
    }
    if (ok && rescuing_)
        loader().prompt().showMessage(
            QStringLiteral("The readings of this run were written to %1.").arg(path),
            UserPrompt::Icon::Information);
    rescuing_ = false;
}

void CRunDlg::logNotCreated(const QString& path, const QString& reason)
{
    if (unattended_) {
        unattended_->logNotCreated(path, reason);
        return;
    }
    loader().prompt().showMessage(
        QStringLiteral("The log file %1 could not be created: %2.").arg(path, reason),
        UserPrompt::Icon::Critical);
}

void CRunDlg::logWriteFailed(const QString& path, const QString& reason)
{
    if (unattended_) {
        unattended_->logWriteFailed(path, reason);
        return;
    }
    loader().prompt().showMessage(
        QStringLiteral("A line could not be written to the log file %1: %2. The run "
                       "goes on; the file may lack lines from now on.")
            .arg(path, reason),
        UserPrompt::Icon::Critical);
}

QString CRunDlg::logRescuePath(const QString& path, const QString& reason)
{
    if (unattended_)
        return unattended_->logRescuePath(path, reason);
    UserPrompt& prompt = loader().prompt();
    prompt.showMessage(
        QStringLiteral("The readings of this run could not be written to %1: %2. Choose another "
                       "file for them.")
            .arg(path, reason),
        UserPrompt::Icon::Critical);
    const QString other = chooseLogFile_ ? chooseLogFile_(path) : QString();
    if (other.isEmpty())
        prompt.showMessage(QStringLiteral("The readings of this run were discarded."),
                           UserPrompt::Icon::Critical);
    rescuing_ = !other.isEmpty();
    return other;
}
