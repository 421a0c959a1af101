#include "Images/QvImageValues.h"

#include "Errors/QvErrors.h"
#include "Images/QvPictureSaving.h"
#include "Media/QvMediaLayer.h"
#include "QvGWorld/QvGWorld.h"
#include "Values/QvTextValue.h"
#include "Values/QvValueFile.h"

namespace {

template <class Picture>
Picture* cloneOf(const Picture& picture) {
    Picture* copy = new Picture(picture.pixels().copy());
    copy->copyHeaderFrom(picture);
    return copy;
}

template <class Frame>
Frame* cloneOfFrame(const Frame& frame) {
    Frame* copy = cloneOf(frame);
    copy->setCompression(frame.compression());
    return copy;
}

}  // namespace

QvValue* QvImageValueBM::Clone() const { return cloneOfFrame(*this); }
QvValue* QvImageValueBC::Clone() const { return cloneOfFrame(*this); }
QvValue* QvImageValueFM::Clone() const { return cloneOf(*this); }
QvValue* QvImageValueFC::Clone() const { return cloneOf(*this); }

void Qv2DValue::SaveToFile(const std::string& path) const {
    QvSavePictureFile(path, [this](const std::string& temporary) { QvValueFile::save(*this, temporary); });
}

template <class P>
QvValue* QvImageValueB<P>::GetProperty(QvPropertyId id) {
    if (id == QV_PROPERTY_COMPRESSION) return new QvTextValue(compression_.name);
    return Qv2DValue::GetProperty(id);
}

template <class P>
QvPropertyId QvImageValueB<P>::PropertyId(const std::string& name) const {
    return name == "compression" ? QV_PROPERTY_COMPRESSION : Qv2DValue::PropertyId(name);
}

template <class P>
void QvImageValueB<P>::SetProperty(QvPropertyId id, QvValue* value) {
    if (id == QV_PROPERTY_COMPRESSION)
        compression_ = QvFrameCompression::byName(value->AsText());
    else
        Qv2DValue::SetProperty(id, value);
}

// The format follows the compression property, never the file name's ending.
template <class P>
void QvImageValueB<P>::SaveToFile(const std::string& path) const {
    qv_auto_value<QvGWorld> world(this->CreateGWorld());
    QvSavePictureFile(path, [&](const std::string& temporary) {
        QvMediaFileLocation file;
        QvTheMediaLayer().makeFileSpec(temporary, &file);
        QvTheMediaLayer().exportImage(world->buffer(), file, compression_.name, this->quality());
    });
}

template class QvImageValueB<bgPix>;
template class QvImageValueB<bcPix>;
