#include "app/MenuTable.h"

#include <Qt>

#include "app/frmMain.h"

namespace kov {

namespace {

template <Int16 N>
void PipeCount(frmMain& w) {
    w.mnuNum_Click(N);
}

template <int Item>
void MapSize(frmMain& w) {
    w.mnuMapSize_Click(Item);
}

// clang-format off
constexpr MenuEntry Table[] = {
    {0, "mnuGame",        "Игра",                     0,         false, false, nullptr},
    {1, "mnuNew",         "Новая",                    Qt::Key_F2, false, false, [](frmMain& w) { w.mnuNew_Click(); }},
    {1, "r1",             "-",                        0,         false, false, nullptr},
    {1, "mnuSalat",       "Перемешать",               Qt::Key_F5, false, false, [](frmMain& w) { w.mnuSalat_Click(); }},
    {0, "mnuOptions",     "Настройки",                0,         false, false, nullptr},
    {1, "mnuNum",         "Желаемое количество труб", 0,         false, false, nullptr},
    {2, "mnuNumRND",      "Случайно",                 Qt::Key_F3, false, false, [](frmMain& w) { w.mnuNumRND_Click(); }},
    {2, "r3",             "-",                        0,         false, false, nullptr},
    {2, "mnuNum10",       "10 труб",                  0,         true,  false, PipeCount<10>},
    {2, "mnuNum9",        "9 труб",                   0,         true,  false, PipeCount<9>},
    {2, "mnuNum8",        "8 труб",                   0,         true,  false, PipeCount<8>},
    {2, "mnuNum7",        "7 труб",                   0,         true,  false, PipeCount<7>},
    {2, "mnuNum6",        "6 труб",                   0,         true,  false, PipeCount<6>},
    {2, "mnuNum5",        "5 труб",                   0,         true,  false, PipeCount<5>},
    {2, "mnuNum4",        "4 трубы",                  0,         true,  false, PipeCount<4>},
    {2, "mnuNum3",        "3 трубы",                  0,         true,  false, PipeCount<3>},
    {2, "mnuNum2",        "2 трубы",                  0,         true,  false, PipeCount<2>},
    {2, "mnuNum1",        "1 труба",                  0,         true,  false, PipeCount<1>},
    {1, "mnuMapSize",     "Размер поля",              0,         false, false, nullptr},
    {2, "mnuMapSize1525", "25 x 15",                  0,         true,  false, MapSize<0>},
    {2, "mnuMapSize1320", "20 x 13",                  0,         true,  false, MapSize<1>},
    {2, "mnuMapSize1115", "15 x 11",                  0,         true,  false, MapSize<2>},
    {2, "mnuMapSize910",  "10 x 9",                   0,         true,  true,  MapSize<3>},
    {2, "r2",             "-",                        0,         false, false, nullptr},
    {2, "mnuMapSize88",   "8 x 8",                    0,         true,  false, MapSize<4>},
    {2, "mnuMapSize77",   "7 x 7",                    0,         true,  false, MapSize<5>},
    {2, "mnuMapSize66",   "6 x 6",                    0,         true,  false, MapSize<6>},
    {2, "mnuMapSize55",   "5 x 5",                    0,         true,  false, MapSize<7>},
    {1, "mnuImgSize",     "Размер картинок",          0,         false, false, nullptr},
    {2, "mnuImgSizeB",    "Большие",                  0,         true,  false, [](frmMain& w) { w.mnuImgSizeB_Click(); }},
    {2, "mnuImgSizeM",    "Маленькие",                0,         true,  true,  [](frmMain& w) { w.mnuImgSizeM_Click(); }},
    {1, "r4",             "-",                        0,         false, false, nullptr},
    {1, "mnuShort",       "Короткие ковелинты",       0,         true,  true,  [](frmMain& w) { w.mnuShort_Click(); }},
    {1, "mnuDelimiter",   "Использовать тройники",    0,         true,  true,  [](frmMain& w) { w.mnuDelimiter_Click(); }},
    {1, "mnuGrid",        "Сетка",                    0,         true,  false, [](frmMain& w) { w.mnuGrid_Click(); }},
    {0, "mnuHelp",        "Помощь",                   0,         false, false, nullptr},
    {1, "mnuHelp1",       "Проложить 1 ковелинт",     Qt::Key_F1, false, false, [](frmMain& w) { w.mnuHelp1_Click(); }},
};
// clang-format on

}  // namespace

std::span<const MenuEntry> MenuTable() {
    return Table;
}

}  // namespace kov
