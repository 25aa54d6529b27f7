#include "display/province_boxes.h"

namespace display {

// Alphabetical by caption, "EA0" last; the box "EA0" stands for the code "SMR".
const std::array<ProvinceBox, kProvinceBoxCount> kProvinceBoxes = {{
    {1015, "A", "A", 12, 6, 24, 10},       {1016, "AB", "AB", 42, 6, 24, 10},
    {1017, "AL", "AL", 73, 6, 24, 10},     {1018, "AV", "AV", 103, 6, 24, 10},
    {1020, "B", "B", 134, 6, 26, 10},      {1021, "BA", "BA", 168, 6, 24, 10},
    {1022, "BI", "BI", 199, 6, 24, 10},    {1023, "BU", "BU", 12, 18, 24, 10},
    {1024, "C", "C", 42, 18, 24, 10},      {1025, "CA", "CA", 73, 18, 24, 10},
    {1026, "CC", "CC", 103, 18, 24, 10},   {1027, "CE", "CE", 134, 18, 26, 10},
    {1028, "CO", "CO", 168, 18, 24, 10},   {1029, "CR", "CR", 198, 18, 24, 10},
    {1030, "CS", "CS", 12, 29, 24, 10},    {1031, "CU", "CU", 42, 29, 24, 10},
    {1032, "GC", "GC", 73, 29, 24, 10},    {1033, "GI", "GI", 103, 29, 24, 10},
    {1034, "GR", "GR", 134, 29, 26, 10},   {1035, "GU", "GU", 168, 29, 24, 10},
    {1036, "H", "H", 198, 29, 24, 10},     {1037, "HU", "HU", 12, 40, 24, 10},
    {1038, "IB", "IB", 42, 41, 24, 10},    {1039, "J", "J", 73, 40, 24, 10},
    {1040, "L", "L", 103, 40, 24, 10},     {1041, "LE", "LE", 134, 40, 26, 10},
    {1042, "LO", "LO", 168, 40, 24, 10},   {1043, "LU", "LU", 198, 40, 24, 10},
    {1044, "M", "M", 12, 51, 24, 10},      {1045, "MA", "MA", 42, 51, 24, 10},
    {1046, "ML", "ML", 73, 51, 24, 10},    {1047, "MU", "MU", 103, 51, 24, 10},
    {1048, "NA", "NA", 134, 51, 25, 10},   {1049, "O", "O", 168, 51, 24, 10},
    {1050, "OU", "OU", 198, 51, 24, 10},   {1051, "P", "P", 12, 62, 24, 10},
    {1052, "PO", "PO", 42, 62, 24, 10},    {1053, "S", "S", 73, 62, 24, 10},
    {1054, "SA", "SA", 103, 62, 24, 10},   {1055, "SE", "SE", 134, 62, 26, 10},
    {1056, "SG", "SG", 168, 62, 24, 10},   {1057, "SS", "SS", 198, 62, 24, 10},
    {1058, "SO", "SO", 12, 73, 25, 10},    {1059, "T", "T", 42, 73, 24, 10},
    {1060, "TE", "TE", 73, 73, 24, 10},    {1061, "TO", "TO", 103, 73, 25, 10},
    {1062, "TF", "TF", 134, 73, 26, 10},   {1063, "V", "V", 168, 73, 24, 9},
    {1064, "VA", "VA", 198, 73, 24, 10},   {1065, "VI", "VI", 12, 84, 24, 10},
    {1066, "Z", "Z", 42, 84, 24, 10},      {1067, "ZA", "ZA", 73, 84, 24, 10},
    {1068, "EA0", "SMR", 103, 84, 23, 10},
}};

std::vector<int> ProvinceMarks::Clear() {
    std::vector<int> changed;
    for (int i = 0; i < kProvinceBoxCount; ++i) {
        m_worked[static_cast<size_t>(i)] = 0;
        changed.push_back(i);
    }
    return changed;
}

std::vector<int> ProvinceMarks::Mark(const std::string& code) {
    std::vector<int> changed;
    for (int i = 0; i < kProvinceBoxCount; ++i) {
        int& worked = m_worked[static_cast<size_t>(i)];
        // A box already marked is left alone, so a repeated mark repaints nothing.
        if (worked == 0 && code == kProvinceBoxes[static_cast<size_t>(i)].code) {
            worked = 1;
            changed.push_back(i);
        }
    }
    return changed;
}

}  // namespace display
