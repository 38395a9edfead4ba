#pragma once
// A control array as the windows address it: the controls named `name_first` ..
// `name_last` in a form, reached by their established index (txtWriteSpi(1..16)).
#include <QString>
#include <QWidget>
#include <stdexcept>
#include <vector>

namespace gyro {

template <typename Control> class ControlArray {
public:
    ControlArray() = default;
    ControlArray(const QWidget& form, const QString& name, int first, int last) : first_(first)
    {
        for (int i = first; i <= last; ++i) {
            const QString objectName = name + QLatin1Char('_') + QString::number(i);
            auto* control = form.findChild<Control*>(objectName);
            // A form without the control is a build fault, not a user's: stop loudly.
            if (control == nullptr)
                throw std::logic_error("window " + form.objectName().toStdString() + " has no control " +
                                       objectName.toStdString());
            controls_.push_back(control);
        }
    }

    Control* operator()(int index) const { return controls_.at(static_cast<std::size_t>(index - first_)); }
    int first() const { return first_; }
    int last() const { return first_ + static_cast<int>(controls_.size()) - 1; }

private:
    int first_ = 0;
    std::vector<Control*> controls_;
};

} // namespace gyro
