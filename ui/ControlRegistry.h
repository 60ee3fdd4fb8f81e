#pragma once
// The controls the logic names, as the GUI thread finds them: widgets and
// actions by objectName under the window's roots, the page control, and the
// custom targets of chart series and string grids.
//
// Everything is held weakly: a widget destroyed (a window closed, a page
// rebuilt) is forgotten, and its name is looked up afresh, so a later widget
// of the same name takes its place. Series and grid targets that are
// QObjects are held the same way; others must outlive the screen.
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "UiContext.h"

class QTabWidget;

namespace tovrel::ui {

class ControlRegistry {
public:
    ControlRegistry();

    // Adds a root to look under; names missing so far are looked up again.
    void AddRoot(QObject* root);
    // A named object made or watched since: its name is no longer missing.
    void Known(QObject* object);
    // The object called `name` under the roots, or null.
    QObject* Find(const QString& name);

    void SetPageControl(QTabWidget* pages);
    QTabWidget* PageControl() const;

    void AddSeries(const std::string& series, SeriesSink* sink);
    SeriesSink* Series(std::string_view series);
    void AddGrid(const std::string& name, GridControl* grid);
    GridControl* Grid(std::string_view name);

private:
    // A target that may be a QObject: then it is forgotten once destroyed.
    template <class T>
    struct Target {
        T* target = nullptr;
        QPointer<QObject> object;
        bool tracked = false;
    };
    template <class T>
    static void Add(std::map<std::string, Target<T>, std::less<>>& map, const std::string& name, T* target);
    template <class T>
    static T* Lookup(std::map<std::string, Target<T>, std::less<>>& map, std::string_view name);

    std::vector<QPointer<QObject>> roots_;
    QPointer<QTabWidget> pages_;
    QHash<QString, QPointer<QObject>> found_;
    // Names the window does not have are not searched for again each frame;
    // once a second they are, for widgets made since.
    QSet<QString> missing_;
    QElapsedTimer missing_age_;
    std::map<std::string, Target<SeriesSink>, std::less<>> series_;
    std::map<std::string, Target<GridControl>, std::less<>> grids_;
};

}  // namespace tovrel::ui
