#include "row_mixes.h"

#include <QString>
#include <QStringList>

namespace {

const QStringList &stations()
{
    static const QStringList names = {
        QStringLiteral("東京"), QStringLiteral("品川"), QStringLiteral("新宿"),
        QStringLiteral("渋谷"), QStringLiteral("池袋"), QStringLiteral("上野"),
        QStringLiteral("大宮"), QStringLiteral("横浜"), QStringLiteral("八王子"),
        QStringLiteral("武蔵小杉"), QStringLiteral("御茶ノ水"), QStringLiteral("新大阪"),
    };
    return names;
}

const QStringList &romaji()
{
    static const QStringList names = {
        QStringLiteral("Tokyo"), QStringLiteral("Shinagawa"), QStringLiteral("Shinjuku"),
        QStringLiteral("Shibuya"), QStringLiteral("Ikebukuro"), QStringLiteral("Ueno"),
        QStringLiteral("Omiya"), QStringLiteral("Yokohama"), QStringLiteral("Hachioji"),
        QStringLiteral("Musashi-Kosugi"), QStringLiteral("Ochanomizu"), QStringLiteral("Shin-Osaka"),
    };
    return names;
}

QString kanjiRow(int i)
{
    static const QStringList patterns = {
        QStringLiteral("次は終点、{S}駅です。お忘れ物のないようご注意ください"),
        QStringLiteral("まもなく{S}行きの電車が参ります。黄色い線の内側でお待ちください"),
        QStringLiteral("本日も{S}線をご利用いただきまして、ありがとうございます"),
        QStringLiteral("この電車は{S}行きです"),
        QStringLiteral("次は{S}、{S}。お出口は左側です"),
        QStringLiteral("車内では携帯電話をマナーモードに設定の上、通話はご遠慮ください"),
        QStringLiteral("{S}駅で発生した人身事故の影響で、運転を見合わせております"),
        QStringLiteral("弱冷房車です"),
    };
    return QString(patterns[i % patterns.size()])
        .replace(QStringLiteral("{S}"), stations()[(i / 8) % stations().size()]);
}

QString asciiRow(int i)
{
    static const QStringList patterns = {
        QStringLiteral("NextStop:{S}.DoorsOpenOnTheLeft."),
        QStringLiteral("Rapid{N}for{S}departsFromPlatform{P}at{H}:{M}."),
        QStringLiteral("ThankYouForTravellingWithUs.{S}(JY{N})"),
        QStringLiteral("Track{P}/Line{N}/{S}/{H}:{M}"),
        QStringLiteral("ThisTrainIsBoundFor{S}.Terminal.PleaseTakeAllYourBelongings."),
    };
    return QString(patterns[i % patterns.size()])
        .replace(QStringLiteral("{S}"), romaji()[(i / 5) % romaji().size()])
        .replace(QStringLiteral("{N}"), QString::number(10 + i % 90))
        .replace(QStringLiteral("{P}"), QString::number(1 + i % 12))
        .replace(QStringLiteral("{H}"), QString::number(5 + i % 19))
        .replace(QStringLiteral("{M}"), QString::number(10 + i % 50));
}

QString shortRow(int i)
{
    switch (i % 4) {
    case 0: return stations()[(i / 4) % stations().size()];
    case 1: return QString::number(1 + i % 12) + QStringLiteral("番線");
    case 2: return QStringLiteral("JY") + QString::number(10 + i % 90);
    default: return QStringLiteral("快速");
    }
}

QString longRow(int i)
{
    QString text;
    for (int k = 0; text.size() < 1000; ++k)
        text += kanjiRow(i + k) + u'。';
    return text;
}

QString mixedRow(int i)
{
    // Half Japanese, as the announcements themselves, a third ASCII, the rest short.
    switch (i % 6) {
    case 0:
    case 2:
    case 4: return kanjiRow(i);
    case 1:
    case 5: return asciiRow(i);
    default: return shortRow(i);
    }
}

QString contentOf(RowMix mix, int i)
{
    switch (mix) {
    case RowMix::Kanji: return kanjiRow(i);
    case RowMix::Ascii: return asciiRow(i);
    case RowMix::Short: return shortRow(i);
    case RowMix::Long: return longRow(i);
    case RowMix::Mixed: return mixedRow(i);
    }
    return {};
}

} // namespace

const char *rowMixName(RowMix mix)
{
    switch (mix) {
    case RowMix::Kanji: return "all-kanji rows";
    case RowMix::Ascii: return "all-ASCII rows";
    case RowMix::Short: return "short rows";
    case RowMix::Long: return "long rows";
    case RowMix::Mixed: return "mixed file";
    }
    return "";
}

std::vector<BroadcastRow> makeMixTable(RowMix mix, int rows)
{
    static const QString signalTexts[] = {QStringLiteral("0"), QStringLiteral("1"),
                                          QStringLiteral("2"), QStringLiteral("3")};
    std::vector<BroadcastRow> table;
    table.reserve(std::size_t(rows));
    for (int i = 0; i < rows; ++i) {
        QString content = contentOf(mix, i);
        content.squeeze();
        table.push_back(BroadcastRow{content, signalTexts[i % 2], signalTexts[(i / 4) % 4]});
    }
    return table;
}
