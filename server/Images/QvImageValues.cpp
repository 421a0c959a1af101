#include "Images/QvImageValues.h"

#include "Errors/QvErrors.h"
#include "Files/QvAtomicFile.h"
#include "Media/QvMediaLayer.h"
#include "QvGWorld/QvGWorld.h"
#include "Values/QvTextValue.h"

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
    QvAtomicFile saved(path);
    QvMediaFileLocation file;
    QvTheMediaLayer().makeFileSpec(saved.temporaryPath(), &file);
    QvTheMediaLayer().exportImage(world->buffer(), file, compression_.name, this->quality());
    saved.commit();
}

template class QvImageValueB<bgPix>;
template class QvImageValueB<bcPix>;
