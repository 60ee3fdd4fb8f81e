#include "Language.h"

#include "Desktop.h"
#include "NumberText.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPointer>
#include <QSettings>
#include <QTabWidget>
#include <QTranslator>
#include <QWidget>
#include <algorithm>
#include <atomic>

namespace tovrel::ui {

namespace {

std::atomic<Language> g_active{Language::Russian};

// Qt's Russian texts, installed while Russian is active; owned by the
// application (gone with it).
QPointer<QTranslator> g_qt_russian;

QString QmFolder(const QString& folder) { return folder.isEmpty() ? QStringLiteral(":/i18n") : folder; }

// Splits a pattern into its literal pieces and placeholder numbers as
// texts::Format reads it: %1 ... %9.
void SplitPattern(const std::string& pattern, std::vector<std::string>& pieces, std::vector<int>& numbers) {
    pieces.assign(1, std::string());
    numbers.clear();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            numbers.push_back(pattern[i + 1] - '0');
            pieces.emplace_back();
            ++i;
        } else {
            pieces.back() += pattern[i];
        }
    }
}

// Matches `text` against the pieces from piece `k` at `pos`, the values of
// the placeholders into `values`; the first match found (shortest values
// first).
bool MatchFrom(const std::vector<std::string>& pieces, std::size_t k, const std::string& text, std::size_t pos,
               std::vector<std::string>& values) {
    if (k == pieces.size()) return pos == text.size();
    if (k == 0) {
        if (text.compare(0, pieces[0].size(), pieces[0]) != 0) return false;
        return MatchFrom(pieces, 1, text, pieces[0].size(), values);
    }
    // Piece k follows placeholder k-1: try every place where it fits.
    const std::string& piece = pieces[k];
    const bool last = k + 1 == pieces.size();
    for (std::size_t at = pos; at <= text.size(); ++at) {
        if (last) {
            if (text.size() - at != piece.size() || text.compare(at, piece.size(), piece) != 0) continue;
        } else if (text.compare(at, piece.size(), piece) != 0) {
            continue;
        }
        values.push_back(text.substr(pos, at - pos));
        if (MatchFrom(pieces, k + 1, text, at + piece.size(), values)) return true;
        values.pop_back();
        if (last) break;
    }
    return false;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const auto nl = text.find('\n', start);
        lines.push_back(text.substr(start, nl == std::string::npos ? std::string::npos : nl - start));
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    return lines;
}

}  // namespace

bool LoadTranslator(Language language, texts::Translator& out, const QString& folder) {
    out = {};
    if (language == Language::Russian) return true;
    // One translator per language for the program's life: a lookup on the
    // device thread may still hold the previous one. The table itself is
    // never destroyed, so no lookup at exit finds it gone.
    static auto& loaded = *new std::map<QString, QTranslator*>;
    const QString file = QmFolder(folder) + "/tovrel_" + texts::LanguageCode(language) + ".qm";
    QTranslator*& translator = loaded[file];
    if (!translator) {
        auto* t = new QTranslator;
        if (!t->load(file)) {
            delete t;
            loaded.erase(file);
            return false;
        }
        translator = t;
    }
    const QTranslator* t = translator;
    out = [t](const char* context, const char* source) -> std::string {
        const QString text = t->translate(context, source);
        return text.isEmpty() ? std::string(source) : text.toStdString();
    };
    return true;
}

bool ApplyLanguage(QCoreApplication& app, Language language, const QString& folder) {
    texts::Translator translator;
    if (!LoadTranslator(language, translator, folder)) return false;
    texts::SetTranslator(std::move(translator));
    g_active = language;
    SetDecimalSeparator(DecimalSeparatorFor(language, SystemDecimalSeparator()));
    // Qt's own texts: Russian from Qt's translation, English are Qt's own.
    if (language == Language::Russian) {
        if (!g_qt_russian) g_qt_russian = UseRussianQtTexts(app);  // loads and installs
        else QCoreApplication::installTranslator(g_qt_russian);
    } else if (g_qt_russian) {
        QCoreApplication::removeTranslator(g_qt_russian);
    }
    return true;
}

Language ActiveLanguage() { return g_active; }

char DecimalSeparatorFor(Language language, char locale_separator) {
    return language == Language::Russian ? locale_separator : '.';
}

Language StartLanguage(QSettings& settings) {
    const QString kept = settings.value(kLanguageKey).toString();
    if (auto language = texts::ParseLanguage(kept.toStdString())) return *language;
#ifdef _WIN32
    return texts::LanguageOfLocale(QLocale::system().name().toStdString());
#else
    return texts::LanguageOfEnvironment();
#endif
}

void RememberLanguage(QSettings& settings, Language language) {
    settings.setValue(kLanguageKey, QString::fromLatin1(texts::LanguageCode(language)));
    settings.sync();
}

// ---------------------------------------------------------------- mapping

TextMapper::TextMapper(const texts::Translator& from, const texts::Translator& to) {
    for (Language language : texts::kLanguages) {
        for (const auto& row : texts::BuiltInTable(language)) {
            const std::string a = from ? from(row.context, row.source) : std::string(row.source);
            const std::string b = to ? to(row.context, row.source) : std::string(row.source);
            if (a == b) continue;
            max_lines_ = std::max<std::size_t>(max_lines_, static_cast<std::size_t>(std::count(a.begin(), a.end(), '\n')) + 1);
            if (a.find('%') == std::string::npos) {
                exact_.emplace(a, b);
                continue;
            }
            Pattern p;
            SplitPattern(a, p.pieces, p.numbers);
            if (p.numbers.empty()) {
                exact_.emplace(a, b);
                continue;
            }
            p.to = b;
            patterns_.push_back(std::move(p));
        }
    }
    auto literal = [](const Pattern& p) {
        std::size_t n = 0;
        for (const auto& s : p.pieces) n += s.size();
        return n;
    };
    std::stable_sort(patterns_.begin(), patterns_.end(),
                     [&](const Pattern& x, const Pattern& y) { return literal(x) > literal(y); });
}

std::optional<std::string> TextMapper::MapPattern(const std::string& text) const {
    for (const auto& p : patterns_) {
        std::vector<std::string> values;
        if (!MatchFrom(p.pieces, 0, text, 0, values)) continue;
        // A value may be a catalogue text itself (a map's name).
        std::string args[10];
        for (std::size_t i = 0; i < p.numbers.size(); ++i) {
            auto mapped = exact_.find(values[i]);
            args[p.numbers[i]] = mapped != exact_.end() ? mapped->second : values[i];
        }
        return texts::Format(p.to, {args[1], args[2], args[3], args[4], args[5], args[6], args[7], args[8], args[9]});
    }
    return std::nullopt;
}

std::optional<std::string> TextMapper::MapOne(const std::string& text) const {
    if (auto it = exact_.find(text); it != exact_.end()) return it->second;
    // Patterns are matched line by line: over a whole memo their matching
    // could try every place where each piece occurs.
    if (text.find('\n') != std::string::npos) return std::nullopt;
    return MapPattern(text);
}

std::optional<std::string> TextMapper::Map(const std::string& text) const {
    if (text.empty()) return std::nullopt;
    if (auto whole = MapOne(text)) return whole;
    if (text.find('\n') == std::string::npos) return std::nullopt;
    // A memo: runs of lines that are one text each, the longest run first.
    const auto lines = Lines(text);
    std::string out;
    bool changed = false;
    for (std::size_t i = 0; i < lines.size();) {
        std::size_t taken = 1;
        std::optional<std::string> mapped;
        for (std::size_t n = std::min(max_lines_, lines.size() - i); n >= 1 && !mapped; --n) {
            if (n == 1) {
                mapped = MapOne(lines[i]);
            } else {
                std::string run = lines[i];
                for (std::size_t k = 1; k < n; ++k) run += '\n' + lines[i + k];
                if (auto it = exact_.find(run); it != exact_.end()) mapped = it->second;
            }
            if (mapped) taken = n;
        }
        if (i > 0) out += '\n';
        if (mapped) {
            out += *mapped;
            changed = true;
        } else {
            for (std::size_t k = 0; k < taken; ++k) out += (k ? "\n" : "") + lines[i + k];
        }
        i += taken;
    }
    if (!changed) return std::nullopt;
    return out;
}

QString TextMapper::Map(const QString& text) const {
    auto mapped = Map(text.toStdString());
    return mapped ? QString::fromStdString(*mapped) : text;
}

// ---------------------------------------------------------------- widgets

void RetranslateWidgets(QObject* root, const TextMapper& mapper) {
    if (!root) return;
    QList<QObject*> objects = root->findChildren<QObject*>();
    objects.prepend(root);
    for (QObject* o : objects) {
        if (auto* custom = dynamic_cast<Retranslatable*>(o)) custom->Retranslate(mapper);
        if (auto* w = qobject_cast<QWidget*>(o)) {
            if (!w->toolTip().isEmpty()) w->setToolTip(mapper.Map(w->toolTip()));
            if (w->isWindow() && !w->windowTitle().isEmpty()) w->setWindowTitle(mapper.Map(w->windowTitle()));
        }
        if (auto* tabs = qobject_cast<QTabWidget*>(o)) {
            for (int i = 0; i < tabs->count(); ++i) {
                if (!tabs->widget(i)->objectName().isEmpty()) continue;  // mirrored
                tabs->setTabText(i, mapper.Map(tabs->tabText(i)));
            }
        }
        // Named widgets are mirrored: QtScreen::Retranslate has done them.
        if (!o->objectName().isEmpty()) continue;
        if (auto* label = qobject_cast<QLabel*>(o)) label->setText(mapper.Map(label->text()));
        else if (auto* button = qobject_cast<QAbstractButton*>(o)) button->setText(mapper.Map(button->text()));
        else if (auto* group = qobject_cast<QGroupBox*>(o)) group->setTitle(mapper.Map(group->title()));
        else if (auto* menu = qobject_cast<QMenu*>(o)) menu->setTitle(mapper.Map(menu->title()));
        else if (auto* action = qobject_cast<QAction*>(o)) action->setText(mapper.Map(action->text()));
    }
}

}  // namespace tovrel::ui
