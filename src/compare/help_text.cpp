#include "compare/help_text.h"

namespace compare::helptext {

QString cmdAvgtai()
{
    return QStringLiteral(
        u"日毎の平均体重をリストとグラフに表示します。\r\n"
        u"\r\n");
}

QString optGra1()
{
    return QStringLiteral(
        u"二人の平均体重データを同一の軸でグラフ表示します。\r\n"
        u"\r\n"
        u"実際のデータをそのままにグラフ表示するモードと\r\n"
        u"体重の重い方に軽い方を重ねた形でグラフ表示するモードがあります。\r\n"
        u"\r\n"
        u"グラフを重ねるモードにすると純粋にお互いの体重の増減推移を比較することができます。\r\n");
}

QString optGra2()
{
    return QStringLiteral(
        u"登録者それぞれの平均体重データを別々の軸でグラフ表示します。\r\n"
        u"登録者１が左の軸、登録者２が右の軸になります。\r\n"
        u"\r\n"
        u"Ｙ軸の下限値を最低体重（平均値）から自動的に設定するモードと\r\n"
        u"目標値として登録した値を下限値にするモードがあります。\r\n"
        u"\r\n");
}

} // namespace compare::helptext
