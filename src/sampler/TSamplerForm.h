#pragma once

#include <QDialog>

namespace sampler {

class TSamplerForm final : public QDialog {
    Q_OBJECT
public:
    explicit TSamplerForm(QWidget* parent = nullptr);
};

} // namespace sampler
