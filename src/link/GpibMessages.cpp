#include "link/GpibMessages.h"

#include "ui/ResourceModule.h"

#include <utility>

namespace {

struct CodeText {
    int code;
    int id;
};

constexpr CodeText contecTexts[] = {{3, 514},   {80, 515},  {82, 516},  {128, 517}, {140, 518}, {240, 519},
                                    {242, 520}, {243, 521}, {252, 522}, {253, 523}, {254, 524}, {255, 525}};

constexpr CodeText interfaceTexts[] = {
    {-1, 526},  {-2, 527},  {-4, 528},  {-7, 529},   {-12, 530},  {-13, 531},  {-14, 532},  {-16, 533},
    {-20, 534}, {-22, 535}, {-50, 536}, {-995, 537}, {-996, 538}, {-997, 539}, {-998, 540}, {-999, 541}};

constexpr CodeText nationalInstrumentsTexts[] = {
    {0, 542}, {1, 543},  {2, 544},  {3, 545},  {4, 546},  {5, 547},  {6, 548},  {7, 549},
    {8, 550}, {10, 551}, {11, 552}, {12, 553}, {14, 554}, {15, 555}, {16, 556}, {20, 557}};

template <std::size_t N>
QString lookUp(const ResourceModule& strings, const CodeText (&table)[N], int code, const char* otherFormat)
{
    for (const CodeText& entry : table) {
        if (entry.code == code)
            return strings.string(entry.id);
    }
    return QString::fromLatin1(otherFormat).arg(code);
}

} // namespace

namespace GpibMessages {

QString nationalInstruments(const ResourceModule& strings, int code)
{
    return lookUp(strings, nationalInstrumentsTexts, code, "GPIB[National Instruments]: error code %1");
}

QString interfaceBoard(const ResourceModule& strings, int code)
{
    return lookUp(strings, interfaceTexts, code, "GPIB[Interface]: error code %1");
}

QString contec(const ResourceModule& strings, int code)
{
    return lookUp(strings, contecTexts, code, "GPIB[Contec]: error code %1");
}

QString ratoc(int code, bool usb)
{
    switch (code) {
    case 1:
        return QStringLiteral("PCMCIA GPIB CARD のリソース情報(I/O,IRQ)を取得できません");
    case 2:
        return usb ? QStringLiteral("GPIB USB の初期化ができませんでした")
                   : QStringLiteral("GPIB CARD の初期化ができませんでした");
    case 3:
        return QStringLiteral("IFCエラー");
    case 4:
        return QStringLiteral("RENエラー");
    case 5:
        return QStringLiteral("タイムアウト設定エラー");
    case 6:
        return QStringLiteral("デバイスクリアエラー");
    case 7:
        return QStringLiteral("デリミタ設定エラー");
    case 8:
        return QStringLiteral("リモート設定エラー");
    case 9:
        return QStringLiteral("ＧＰＩＢ送信エラー");
    case 10:
        return QStringLiteral("ＧＰＩＢ受信エラー");
    case 11:
        return QStringLiteral("ローカル設定エラー");
    default:
        return QString();
    }
}

QString ratocUnsupportedSystem()
{
    return QStringLiteral("このOSでは実行できません");
}

QString ratocNotSetUp()
{
    return QStringLiteral("GPIBがセットアップされていません");
}

} // namespace GpibMessages
