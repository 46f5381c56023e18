#include "app/indOtherImport.h"

#include "model/cmcOrganisation.h"
#include "platform/cmcPlatform.h"

#include <cstdio>

namespace {

constexpr char SettingsKey[] = "OtherImport";

// The settings name of a header: a short, stable hash of its names.
std::string headerName(const clsOtherTable& table) {
    uint32_t hash = 2166136261u;
    for (unsigned char c : OtherHeaderKey(table)) {
        hash ^= c;
        hash *= 16777619u;
    }
    char name[16];
    std::snprintf(name, sizeof name, "h%08x", hash);
    return name;
}

cmcSettingsBackend* settings() {
    return cmcPlatform::get().settings;
}

} // namespace

indOtherPreview::indOtherPreview(std::string bytes, std::string categoryName,
                                 const clsCsvReadOptions& options, cmcOrganisation& organisation,
                                 int openGroup)
    : bytes_(std::move(bytes)), categoryName_(std::move(categoryName)), options_(options),
      organisation_(organisation), openGroup_(openGroup) {
    if (openGroup_ >= 0) place_ = Place::OpenGroup;
    Read(otherformat::Auto);
}

void indOtherPreview::Read(int format) {
    read_ = OtherReadText(bytes_, format);
    error_ = read_.error;
    if (error_.empty() && read_.table.format == otherformat::Columns && settings()) {
        const std::optional<std::string> remembered =
            settings()->readString(SettingsScope::User, SettingsKey, headerName(read_.table));
        std::string ignored;
        clsOtherMapping mapping;
        if (remembered && OtherApplyMap(*remembered, read_.table, mapping, ignored))
            read_.mapping = mapping;
    }
    Replan();
}

void indOtherPreview::SetFormat(int format) {
    Read(format);
}

void indOtherPreview::SetColumn(OtherField field, int column) {
    const int columns = static_cast<int>(read_.table.header.size());
    read_.mapping[field] = column >= 0 && column < columns ? column : -1;
    if (field == OtherField::Frequency)
        read_.mapping.unit = OtherGuessUnit(read_.table, read_.mapping[field]);
    Replan();
}

void indOtherPreview::SetUnit(OtherUnit unit) {
    read_.mapping.unit = unit;
    Replan();
}

bool indOtherPreview::Offers(Place place) const {
    switch (place) {
    case Place::NewGroups:
        return true;
    case Place::OpenGroup:
        return openGroup_ >= 0;
    case Place::LastChannel:
        return organisation_.GroupCount() > 0;
    }
    return false;
}

void indOtherPreview::SetPlacement(Place place) {
    if (Offers(place)) place_ = place;
}

clsOtherTarget indOtherPreview::Target() const {
    clsOtherTarget target;
    target.categoryName = categoryName_;
    target.newGroups = place_ == Place::NewGroups;
    target.group = place_ == Place::OpenGroup ? openGroup_ : organisation_.GroupCount() - 1;
    return target;
}

bool indOtherPreview::CanImport() const {
    return error_.empty() && read_.mapping[OtherField::Frequency] >= 0 && plan_.importable > 0 &&
           OtherCanImport(organisation_, Target());
}

void indOtherPreview::RememberMapping() const {
    if (read_.table.format != otherformat::Columns || !settings()) return;
    settings()->writeString(SettingsScope::User, SettingsKey, headerName(read_.table),
                            OtherMapText(read_.mapping));
}

void indOtherPreview::Replan() {
    plan_ = clsOtherPlan();
    if (!error_.empty() || read_.mapping[OtherField::Frequency] < 0) return;
    plan_ = OtherPlan(read_.table, read_.mapping, options_, organisation_);
}
