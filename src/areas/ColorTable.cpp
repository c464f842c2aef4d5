#include "areas/ColorTable.h"

#include <algorithm>

namespace ColorTable {

const std::array<ColorEntry, Count> Entries = {{
    {rgbColor(0, 0, 0), "黑色"},
    {rgbColor(128, 0, 0), "褐紫红色"},
    {rgbColor(0, 128, 0), "绿色"},
    {rgbColor(128, 128, 0), "橄榄树"},
    {rgbColor(0, 0, 128), "海军蓝"},
    {rgbColor(128, 0, 128), "紫色"},
    {rgbColor(0, 128, 128), "青色"},
    {rgbColor(128, 128, 128), "灰色"},
    {rgbColor(192, 192, 192), "银白"},
    {rgbColor(255, 0, 0), "红色"},
    {rgbColor(0, 255, 0), "酸橙色"},
    {rgbColor(255, 255, 0), "黄色"},
    {rgbColor(0, 0, 255), "蓝色"},
    {rgbColor(255, 0, 255), "紫红色"},
    {rgbColor(0, 255, 255), "水绿色"},
    {rgbColor(255, 255, 255), "白色"},
}};

namespace {

// The readings of the characters the colour names use; a collation library
// with the full table may be missing on the machine at the event.
struct Reading
{
    char16_t character;
    const char* pinyin;
};

const Reading Readings[] = {
    {u'白', "bai"}, {u'橙', "cheng"}, {u'橄', "gan"},   {u'海', "hai"},  {u'褐', "he"},
    {u'黑', "hei"}, {u'红', "hong"},  {u'黄', "huang"}, {u'灰', "hui"},  {u'军', "jun"},
    {u'蓝', "lan"}, {u'榄', "lan"},   {u'绿', "lv"},    {u'青', "qing"}, {u'色', "se"},
    {u'树', "shu"}, {u'水', "shui"},  {u'酸', "suan"},  {u'银', "yin"},  {u'紫', "zi"},
};

// Characters without a known reading sort after every known one.
QString readingOf(QChar c)
{
    for (const Reading& r : Readings) {
        if (r.character == c.unicode())
            return QString::fromLatin1(r.pinyin);
    }
    return QString(QChar(0xFFFF));
}

} // namespace

bool sortsBefore(const QString& a, const QString& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        if (a[i] == b[i])
            continue;
        const int byReading = QString::compare(readingOf(a[i]), readingOf(b[i]));
        if (byReading != 0)
            return byReading < 0;
        return a[i] < b[i];
    }
    return a.size() < b.size();
}

} // namespace ColorTable
