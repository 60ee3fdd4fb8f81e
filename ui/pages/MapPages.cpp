// The map pages: a chart page and a grid page per map, and the two 3D views.
// The widgets draw what the logic sets and forward the user's clicks, keys
// and edits to the map editor's handlers on the device thread.
#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "MapChart.h"
#include "MapControls.h"
#include "MapPage.h"
#include "MapEditor.h"
#include "MapGrid.h"
#include "MapTransfer.h"
#include "RestoreFlow.h"
#include "NumberText.h"
#include "Pages.h"
#include "Program.h"
#include "View3D.h"
#include "View3DWidget.h"
#include "QtTexts.h"

namespace tovrel::ui {

namespace {

struct ChartTexts {
    UiText title;
    const char* write_button;
};
// By the index of kMapKinds.
constexpr ChartTexts kChartTexts[4] = {
    {UiText::PageLPGChart, "PreviouselyGASmapWriteButton"},
    {UiText::PagePetrolChart, "PreviouselyPETROLmapWriteButton"},
    {UiText::ChartLPGLoad, "PreviouselyGASTPSmapWriteButton"},
    {UiText::PagePetrolLoadChart, "PreviouselyPETROLTPSmapWriteButton"},
};
constexpr UiText kSpeedAxisCaption = UiText::SpeedAxis;
constexpr UiText kAdvanceAxisCaption = UiText::AdvanceAxis;
constexpr UiText kPedalAxisCaption = UiText::PedalAxis;
constexpr UiText kPercentAxisCaption = UiText::PercentAxis;
constexpr UiText kNegativeValues = UiText::NegativeValues;

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QCheckBox* Box(QWidget* page, std::string_view name, const QString& caption, bool checked) {
    auto* box = new QCheckBox(caption, page);
    box->setObjectName(Q(name));
    box->setChecked(checked);
    return box;
}

QPushButton* Button(QWidget* page, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, page);
    button->setObjectName(name);
    button->setMinimumWidth(button->sizeHint().width() + 16);
    button->setFixedHeight(25);
    return button;
}

// While a map transfer runs, edits wait: a chart key is dropped (nothing
// moves, as with a key at a limit), a typed cell is put back with a message.
bool Transferring(const Program& p) { return p.maps.TransfersRunning > 0; }

// Puts the remembered cell of the kind's grid back when it holds a text the
// map does not, and says why.
void RefuseGridEdit(Program& p, MapKind kind) {
    const auto* c = FindMapControls(kind);
    const auto* e = p.maps.Editor(kind);
    if (!c || !e) return;
    const int column = std::max(1, e->GridEditColumn), row = std::max(1, e->GridEditRow);
    if (column > 8 || row > 10) return;
    const double stored = p.maps.document.Y(kind, (column - 1) * 10 + (row - 1));
    if (MapPage(p.screen, *c).Cell(column, row).Text() == FormatGeneral(stored)) return;
    p.screen.ShowNotice(Tr(kLineBusyMessage));
    ShowMapInGrid(p.screen, p.maps.document.Maps(), kind);
}

// A box the logic reads when it handles a key: the user's tick goes into the
// mirror at once, nothing else happens.
void MirrorTicks(UiContext& ctx, QCheckBox* box) {
    const std::string name = box->objectName().toStdString();
    QObject::connect(box, &QCheckBox::clicked, box,
                     [&ctx, name](bool checked) { ctx.UserEdit(name, Property::Checked, checked); });
}

}  // namespace

void BuildMapChartPage(UiContext& ctx, QWidget* page, MapKind kind) {
    const auto* c = FindMapControls(kind);
    if (!c) return;
    const int index = MapKindIndex(kind);
    const bool advance = IsAdvanceMap(kind);
    const MapKind k = kind;

    MapChart::Setup setup;
    setup.name = Q(c->chart);
    setup.series = Q(c->series);
    setup.title = QTr(kChartTexts[index].title);
    setup.x_caption = QTr(advance ? kSpeedAxisCaption : kPedalAxisCaption);
    setup.y_caption = QTr(advance ? kAdvanceAxisCaption : kPercentAxisCaption);
    setup.x_maximum = advance ? 8000 : 80;
    setup.y_minimum = 0;
    setup.y_maximum = c->axis_maximum;
    setup.compare_series = Q(CompareSeriesName(kind));
    auto* chart = new MapChart(setup, page);
    ctx.RegisterSeries(std::string(c->series), chart);
    ctx.RegisterSeries(CompareSeriesName(kind), chart);
    chart->on_pointer = [&ctx, k](bool over) {
        ctx.Forward([k, over](Program& p) {
            if (over)
                ChartMouseEnter(p.maps, k);
            else
                ChartMouseLeave(p.maps, k);
        });
    };
    chart->on_key = [&ctx, k](int key) {
        ctx.Forward([k, key](Program& p) {
            if (!Transferring(p)) ChartKeyDown(p.screen, p.maps, k, key);
        });
    };
    chart->on_point_click = [&ctx, k](int point) {
        ctx.Forward([k, point](Program& p) { ChartClickSeries(p.screen, p.maps, k, point); });
    };

    auto* big_step = Box(page, c->big_step_box, QTr(UiText::BigStepBox), true);
    auto* whole_map = Box(page, c->whole_map_box, QTr(UiText::WholeMapBox), true);
    auto* scale = Box(page, c->scale_box, QTr(kNegativeValues), false);
    MirrorTicks(ctx, big_step);
    MirrorTicks(ctx, whole_map);
    QObject::connect(scale, &QCheckBox::clicked, scale, [&ctx, k, scale] {
        ctx.Forward([k](Program& p) { ScaleCheckBoxClick(p.screen, k); }, scale);
    });
    auto* write = Button(page, kChartTexts[index].write_button, Q(Tr(kPreviousWriteCaption)));
    QObject::connect(write, &QPushButton::clicked, write, [&ctx, k] {
        ctx.Forward([k](Program& p) { PreviouselyWriteMapClick(p.link, p.maps, k); });
    });

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 6);
    layout->setSpacing(4);
    layout->addWidget(chart, 1);
    auto* row = new QHBoxLayout;
    row->setSpacing(16);
    row->addWidget(big_step);
    row->addWidget(whole_map);
    row->addWidget(scale);
    row->addStretch(1);
    row->addWidget(write);
    layout->addLayout(row);
}

void BuildMapGridPage(UiContext& ctx, QWidget* page, MapKind kind) {
    const auto* c = FindMapControls(kind);
    if (!c) return;
    const MapKind k = kind;
    const std::string name(c->grid);
    auto* grid = new MapGrid(Q(c->grid), page);
    grid->move(8, 8);
    ctx.RegisterGrid(name, grid);
    grid->on_edit = [&ctx, name](int column, int row, const std::string& text) {
        ctx.UserEdit(GridCell(name, column, row), Property::Text, text);
    };
    grid->on_select = [&ctx, k](int column, int row) {
        ctx.Forward([k, column, row](Program& p) {
            if (!Transferring(p)) {
                GridSelectCell(p.screen, p.maps, k, column, row);
                return;
            }
            // The new cell is remembered all the same, so what is typed
            // into it after the transfer is taken from it.
            RefuseGridEdit(p, k);
            auto* e = p.maps.Editor(k);
            e->GridEditColumn = column;
            e->GridEditRow = row;
        });
    };
    grid->on_enter = [&ctx, k] {
        ctx.Forward([k](Program& p) {
            if (Transferring(p))
                RefuseGridEdit(p, k);
            else
                GridKeyDown(p.screen, p.maps, k, kKeyEnter);
        });
    };
}

void Build3DPage(UiContext& ctx, QWidget* page, bool petrol) {
    const auto& by_band = petrol ? kPetrol3DSeries : kGas3DSeries;
    View3DWidget::Setup setup;
    setup.name = Q(petrol ? kPetrol3DChart : kGas3DChart);
    // The first series, band 7 (pedal almost fully pressed), stands in front.
    for (int band = k3DBandCount - 1; band >= 0; --band) {
        setup.series.emplace_back(by_band[static_cast<std::size_t>(band)]);
        setup.depth_labels.push_back(QString("%1-%2").arg(band * 10).arg(band * 10 + 9));
    }
    setup.title = petrol ? "3D Petrol MAP" : "3D GAS MAP";
    setup.x_caption = QTr(UiText::EngineSpeedAxis);
    setup.y_caption = QTr(UiText::AdvanceAxis3D);
    setup.x_maximum = 8000;
    setup.y_minimum = 0;
    setup.y_maximum = petrol ? 35 : 20;
    auto* view = new View3DWidget(setup, page);
    for (const auto& s : setup.series) ctx.RegisterSeries(s, view);

    auto* scale = Box(page, petrol ? "Petrol_3D_ScaleCheckBox" : "LPG_3D_ScaleCheckBox", QTr(kNegativeValues), false);
    QObject::connect(scale, &QCheckBox::clicked, scale, [&ctx, petrol, scale] {
        ctx.Forward(
            [petrol](Program& p) {
                if (petrol)
                    Petrol_3D_ScaleCheckBoxClick(p.screen);
                else
                    LPG_3D_ScaleCheckBoxClick(p.screen);
            },
            scale);
    });
    auto* build = Button(page, petrol ? "Button3" : "Button2",
                         petrol ? QTr(UiText::Build3DPetrol)
                                : QTr(UiText::Build3DGas));
    QObject::connect(build, &QPushButton::clicked, build, [&ctx, petrol] {
        ctx.Forward([petrol](Program& p) {
            if (petrol)
                Button3Click(p.screen, p.maps.document.Maps());
            else
                Button2Click(p.screen, p.maps.document.Maps());
        });
    });

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(4, 4, 4, 6);
    layout->setSpacing(4);
    layout->addWidget(view, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(scale);
    row->addStretch(1);
    row->addWidget(build);
    row->addStretch(1);
    layout->addLayout(row);
}

void ConnectPageChange(UiContext& ctx, QTabWidget* pages) {
    QObject::connect(pages, &QTabWidget::currentChanged, pages, [&ctx] {
        ctx.Forward([](Program& p) {
            // A read fills the maps point by point and draws each as it
            // goes; a redraw from the half-read maps in the middle of it
            // would put old and new points side by side on the screen.
            if (!Transferring(p)) PageControl1Change(p.screen, p.maps);
        });
    });
}

}  // namespace tovrel::ui
