#pragma once

#include "ui/resources/dialog_builder.h"
#include "ui/resources/dialog_template.h"

#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <typeinfo>
#include <vector>

// Template rows name the member of a dialog's ui struct they fill; once the controls are built,
// bindControls hands each named widget to its member, typed as the member is.
namespace nivra::res {

namespace detail {
template <class Member> struct MemberOf;
template <class Ui, class Widget> struct MemberOf<Widget * Ui::*> {
    using Owner = Ui;
    using Type = Widget;
};
} // namespace detail

// The binder of one member of a ui struct, e.g. member<&AboutUi::version>().
template <auto Member> ControlBinder member() {
    using Traits = detail::MemberOf<decltype(Member)>;
    return {&typeid(typename Traits::Owner), [](void* ui, QWidget* widget) {
                auto* typed = dynamic_cast<typename Traits::Type*>(widget);
                if (!typed) {
                    // A row naming a member of another kind is a programming error that every
                    // construction of the dialog meets.
                    std::fprintf(stderr, "a template row fills a member of another kind\n");
                    std::abort();
                }
                static_cast<typename Traits::Owner*>(ui)->*Member = typed;
            }};
}

// The ui struct filled from the controls built for a template whose rows name members of Ui.
template <class Ui> Ui bindControls(const std::vector<BuiltControl>& built) {
    Ui ui{};
    for (const BuiltControl& control : built) {
        const ControlBinder& bind = control.source->bind;
        if (!bind)
            continue;
        if (*bind.ui != typeid(Ui)) {
            std::fprintf(stderr, "a template row fills a member of another ui struct\n");
            std::abort();
        }
        bind.fill(&ui, control.widget);
    }
    return ui;
}

} // namespace nivra::res
