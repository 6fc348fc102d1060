#include "sample_table.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <algorithm>

std::vector<BroadcastRow> makeSampleTable(int rows, int fareValues)
{
    static const QStringList stations = {
        QStringLiteral("東京"), QStringLiteral("品川"), QStringLiteral("新宿"),
        QStringLiteral("渋谷"), QStringLiteral("池袋"), QStringLiteral("上野"),
        QStringLiteral("大宮"), QStringLiteral("横浜"), QStringLiteral("千葉"),
        QStringLiteral("八王子"), QStringLiteral("高尾"), QStringLiteral("武蔵小杉"),
        QStringLiteral("新横浜"), QStringLiteral("川崎"), QStringLiteral("秋葉原"),
        QStringLiteral("御茶ノ水"), QStringLiteral("四ツ谷"), QStringLiteral("中野"),
    };
    static const QStringList lines = {
        QStringLiteral("山手"), QStringLiteral("中央"), QStringLiteral("京浜東北"),
        QStringLiteral("総武"), QStringLiteral("埼京"), QStringLiteral("東海道"),
    };
    static const QStringList patterns = {
        QStringLiteral("次は終点、{S}駅です。お忘れ物のないようご注意ください"),
        QStringLiteral("まもなく{P}番線に{L}線{S}行きの電車が参ります。黄色い線の内側でお待ちください"),
        QStringLiteral("本日も{L}線をご利用いただきまして、ありがとうございます"),
        QStringLiteral("この電車は{L}線、{S}行きです"),
        QStringLiteral("次は{S}、{S}。お出口は左側です。{L}線はお乗り換えです"),
        QStringLiteral("ただいま{H}時{M}分頃、{S}駅で発生した人身事故の影響で、{L}線は運転を見合わせております"),
        QStringLiteral("車内では携帯電話をマナーモードに設定の上、通話はご遠慮ください"),
        QStringLiteral("{P}号車は弱冷房車です"),
    };
    std::vector<BroadcastRow> table;
    table.reserve(std::size_t(rows));
    const QString signalTexts[] = {QStringLiteral("0"), QStringLiteral("1"),
                                   QStringLiteral("2"), QStringLiteral("3")};
    for (int i = 0; i < rows; ++i) {
        QString content = patterns[i % patterns.size()];
        content.replace(QStringLiteral("{S}"), stations[(i / 8) % stations.size()])
            .replace(QStringLiteral("{L}"), lines[(i / 3) % lines.size()])
            .replace(QStringLiteral("{P}"), QString::number(1 + i % 12))
            .replace(QStringLiteral("{H}"), QString::number(5 + i % 19))
            .replace(QStringLiteral("{M}"), QString::number(i % 60));
        content.squeeze();
        table.push_back(BroadcastRow{content, signalTexts[i % fareValues], signalTexts[(i / 4) % 4]});
    }
    return table;
}

double bestMs(int runs, const std::function<void()> &run)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}
