#include "shell/keyboard.h"

#include "shell/control_tips.h"
#include "shell/main_form.h"
#include "shell/picture_box.h"
#include "shell/shortcuts.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

#include <cstddef>

namespace zr {

namespace {

template <class Control, std::size_t N>
void addArray(std::vector<NamedControl>& out, const char* name,
              const std::array<Control*, N>& controls, std::initializer_list<std::size_t> order) {
    for (std::size_t i : order) {
        out.push_back({std::string(name) + "(" + std::to_string(i) + ")", controls[i]});
    }
}

QString toQ(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// A shortcut works a button as a click with the mouse does: the button takes the focus
// first (so a field being edited is applied on leaving it), then it is clicked. A hidden
// or disabled button is not worked.
void shortcutForButton(MainForm& form, QAbstractButton* button, std::string_view keys) {
    auto* shortcut = new QShortcut(QKeySequence(toQ(keys)), &form);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, button, [button] {
        if (!button->isVisible() || !button->isEnabled()) {
            return;
        }
        if (button->focusPolicy() != Qt::NoFocus) {
            button->setFocus(Qt::ShortcutFocusReason);
        }
        button->click();
    });
}

} // namespace

std::vector<NamedControl> controlsInTabOrder(MainForm& f) {
    std::vector<NamedControl> c;
    const auto add = [&c](const char* name, QWidget* w) { c.push_back({name, w}); };
    const auto field = [&c, &f](std::size_t i) {
        c.push_back({"txt(" + std::to_string(i) + ")", f.txt[i]});
    };
    // Input
    add("range", f.range);
    add("coupling", f.coupling);
    add("signal", f.signal);
    add("ground", f.ground);
    add("aliasfilt", f.aliasfilt);
    // Acquisition
    add("datatype", f.datatype);
    add("bandwidth", f.bandwidth);
    field(2);
    add("sampfreq", f.sampfreq);
    add("blocksize", f.blocksize);
    add("precision", f.precision);
    add("appendstatus", f.appendstatus);
    // Trigger
    add("triggen", f.triggen);
    add("trigsource", f.trigsource);
    field(6);
    field(7);
    add("trigslope", f.trigslope);
    field(8);
    // Measurement and its sub-panels
    add("measmode", f.measmode);
    add("averaging", f.averaging);
    field(3);
    addArray(c, "resampmode", f.resampmode, {0, 1, 2});
    add("resamp", f.resamp);
    add("window", f.window);
    add("histbins", f.histbins);
    field(4);
    field(5);
    add("autohist", f.autohist);
    // Display
    field(9);
    field(10);
    add("ypos", f.ypos);
    field(11);
    field(12);
    field(13);
    add("xpos", f.xpos);
    field(14);
    add("xautoflag", f.xautoflag);
    // Marker
    add("markermode", f.markermode);
    field(0);
    for (std::size_t i = 0; i < 2; ++i) {
        addArray(c, "markrel", f.markrel, {i});
        field(15 + i);
        addArray(c, "markrelload", f.markrelload, {i});
    }
    field(17);
    add("markstepload", f.markstepload);
    // Clock
    add("syncmode", f.syncmode);
    add("clocksource", f.clocksource);
    add("mastermode", f.mastermode);
    add("slowclock", f.slowclock);
    field(1);
    // Diagnostics
    add("calmode", f.calmode);
    add("dataout", f.dataout);
    add("bumping", f.bumping);
    add("tau", f.tau);
    add("showcal", f.showcal);
    add("trimdac", f.trimdac);
    add("adc1entry", f.adc1entry);
    add("Command1", f.Command1);
    // Buttons under the settings area, as they are laid out
    add("autorange", f.autorange);
    add("autozero", f.autozero);
    add("yauto", f.yauto);
    add("xauto", f.xauto);
    addArray(c, "markmove", f.markmove, {0, 1, 2, 3, 4});
    addArray(c, "meascontrol", f.meascontrol, {0, 1, 3, 2});
    return c;
}

void setUpKeyboard(MainForm& f) {
    const std::vector<NamedControl> controls = controlsInTabOrder(f);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        controls[i].widget->setToolTip(QString::fromStdString(controlTip(controls[i].name)));
        if (i > 0) {
            QWidget::setTabOrder(controls[i - 1].widget, controls[i].widget);
        }
    }
    f.picbox->setToolTip(QString::fromStdString(controlTip("picbox")));

    // Menu items show their shortcut themselves; buttons show it in their tooltip.
    const auto itemOf = [&f](std::string_view name) -> QAction* {
        for (std::size_t i = 0; i < f.editmenu.size(); ++i) {
            if (name == "editmenu(" + std::to_string(i) + ")") {
                return f.editmenu[i];
            }
        }
        for (std::size_t i = 0; i < f.controlmenu.size(); ++i) {
            if (name == "controlmenu(" + std::to_string(i) + ")") {
                return f.controlmenu[i];
            }
        }
        return nullptr;
    };
    for (const Shortcut& s : kShortcuts) {
        if (QAction* item = itemOf(s.control)) {
            item->setShortcut(QKeySequence(toQ(s.keys)));
            continue;
        }
        for (const NamedControl& c : controls) {
            if (c.name == s.control) {
                if (auto* button = qobject_cast<QAbstractButton*>(c.widget)) {
                    shortcutForButton(f, button, s.keys);
                }
            }
        }
    }
}

} // namespace zr
