#include "QvMovieSettingsDialog.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <cmath>

#include "QvMediaSettingsStore.h"

namespace {
constexpr int kQualitySteps = 100;

struct Depth {
    int bits;
    const char* text;
};
constexpr Depth kDepths[] = {{0, "Best depth"}, {8, "256 greys"}, {16, "Thousands of colours"},
                             {24, "Millions of colours"}, {32, "Millions of colours and alpha"}};

// A slider with its ends named and the percentage beside it.
QWidget* labelled(QSlider* slider) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* percent = new QLabel(QStringLiteral("%1%").arg(slider->value()));
    percent->setMinimumWidth(40);
    QObject::connect(slider, &QSlider::valueChanged, percent,
                     [percent](int value) { percent->setText(QStringLiteral("%1%").arg(value)); });
    layout->addWidget(new QLabel(QStringLiteral("Least")));
    layout->addWidget(slider, 1);
    layout->addWidget(new QLabel(QStringLiteral("Best")));
    layout->addWidget(percent);
    return row;
}

void choose(QComboBox* box, const std::string& text) {
    const int index = box->findText(QString::fromStdString(text));
    box->setCurrentIndex(index >= 0 ? index : 0);
}
}  // namespace

QSlider* QvMovieSettingsDialog::qualitySlider() {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(0, kQualitySteps);
    slider->setMinimumWidth(180);
    return slider;
}

QvMovieSettingsDialog::QvMovieSettingsDialog(QWidget* parent)
    : QDialog(parent),
      compressor_(new QComboBox),
      depth_(new QComboBox),
      quality_(qualitySlider()),
      temporalQuality_(qualitySlider()),
      frameRate_(new QDoubleSpinBox),
      keyFrameInterval_(new QSpinBox),
      overlayCompressor_(new QComboBox),
      graphicsMode_(new QComboBox) {
    setWindowTitle(QStringLiteral("Movie Compression Settings"));
    for (const Depth& depth : kDepths) depth_->addItem(QString::fromLatin1(depth.text), depth.bits);
    frameRate_->setRange(0.01, 1000);
    frameRate_->setDecimals(2);
    frameRate_->setSuffix(QStringLiteral(" frames per second"));
    keyFrameInterval_->setRange(0, 100000);
    keyFrameInterval_->setSpecialValueText(QStringLiteral("Every frame"));
    keyFrameInterval_->setPrefix(QStringLiteral("Every "));
    keyFrameInterval_->setSuffix(QStringLiteral(" frames"));

    auto* compression = new QGroupBox(QStringLiteral("Compression"));
    auto* compressionForm = new QFormLayout(compression);
    compressionForm->addRow(QStringLiteral("Compressor:"), compressor_);
    compressionForm->addRow(QStringLiteral("Depth:"), depth_);
    compressionForm->addRow(QStringLiteral("Quality:"), labelled(quality_));
    compressionForm->addRow(QStringLiteral("Temporal quality:"), labelled(temporalQuality_));

    auto* motion = new QGroupBox(QStringLiteral("Motion"));
    auto* motionForm = new QFormLayout(motion);
    motionForm->addRow(QStringLiteral("Frame rate:"), frameRate_);
    motionForm->addRow(QStringLiteral("Key frame:"), keyFrameInterval_);

    auto* overlays = new QGroupBox(QStringLiteral("Overlays"));
    auto* overlayForm = new QFormLayout(overlays);
    overlayForm->addRow(QStringLiteral("Compressor:"), overlayCompressor_);
    overlayForm->addRow(QStringLiteral("Graphics mode:"), graphicsMode_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(compression);
    layout->addWidget(motion);
    layout->addWidget(overlays);
    layout->addWidget(QvMediaSettingsStore::createButtons(this, [this] { setSettings(QvMovieSettings()); }));
}

bool QvMovieSettingsDialog::prepare() {
    std::vector<std::string> compressors;
    try {
        compressors = QvMovieCompressorNames();
    } catch (QvException* error) {
        const QString reason = QString::fromStdString(error->message());
        delete error;
        QvMediaSettingsStore::tellCannotConnect(this, reason);
        return false;
    }
    for (const std::string& name : compressors) {
        compressor_->addItem(QString::fromStdString(name));
        overlayCompressor_->addItem(QString::fromStdString(name));
    }
    for (const std::string& mode : QvGraphicsModeNames()) graphicsMode_->addItem(QString::fromStdString(mode));
    setSettings(QvMediaSettingsStore::stored<QvMovieSettings>(QvMediaSettingsStore::Kind::Movie, this));
    return true;
}

// Compressors this machine does not offer leave the default chosen.
void QvMovieSettingsDialog::setSettings(const QvMovieSettings& settings) {
    choose(compressor_, settings.compressor);
    choose(overlayCompressor_, settings.overlayCompressor);
    choose(graphicsMode_, settings.graphicsMode);
    const int depth = depth_->findData(settings.depth);
    depth_->setCurrentIndex(depth >= 0 ? depth : 0);
    quality_->setValue(int(std::lround(settings.spatial() * kQualitySteps)));
    temporalQuality_->setValue(int(std::lround(settings.temporal() * kQualitySteps)));
    frameRate_->setValue(settings.rate());
    keyFrameInterval_->setValue(settings.keyFrameInterval);
}

QvMovieSettings QvMovieSettingsDialog::settings() const {
    QvMovieSettings settings;
    settings.setCompressor(compressor_->currentText().toStdString());
    settings.setOverlayCompressor(overlayCompressor_->currentText().toStdString());
    settings.setGraphicsMode(graphicsMode_->currentText().toStdString());
    settings.depth = depth_->currentData().toInt();
    settings.setSpatial(double(quality_->value()) / kQualitySteps);
    settings.setTemporal(double(temporalQuality_->value()) / kQualitySteps);
    settings.setRate(frameRate_->value());
    settings.setKeyFrameInterval(keyFrameInterval_->value());
    return settings;
}

void QvMovieSettingsDialog::accept() {
    QvMediaSettingsStore::store(QvMediaSettingsStore::Kind::Movie, settings().toBlob());
    QDialog::accept();
}
