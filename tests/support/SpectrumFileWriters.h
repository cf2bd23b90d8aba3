// Test helpers that write small foreign spectrum files: Bruker procs and 1r, VnmrJ procpar and
// data.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace kalvex::test {

enum class Endian { kLittle, kBig };

/// The bytes of `value` in the given order.
template <typename T>
std::string Bytes(T value, Endian order) {
    char raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof(T));  // the host is little-endian
    std::string out(raw, sizeof(T));
    if (order == Endian::kBig) out = std::string(out.rbegin(), out.rend());
    return out;
}

template <typename T>
std::string Words(const std::vector<T>& values, Endian order) {
    std::string out;
    for (const T v : values) out += Bytes(v, order);
    return out;
}

/// One line of a spectrum: base + height * exp(-((p - centre) / width)^2) for p = 1..n.
inline std::vector<double> GaussLine(int n, double centre, double width, double height,
                                     double base = 0.0) {
    std::vector<double> v(static_cast<std::size_t>(n));
    for (int p = 1; p <= n; ++p) {
        const double z = (p - centre) / width;
        v[static_cast<std::size_t>(p - 1)] = base + height * std::exp(-z * z);
    }
    return v;
}

inline std::vector<float> ToFloats(const std::vector<double>& v) {
    std::vector<float> out;
    for (const double d : v) out.push_back(static_cast<float>(d));
    return out;
}

inline std::vector<std::int32_t> ToInts(const std::vector<double>& v) {
    std::vector<std::int32_t> out;
    for (const double d : v) out.push_back(static_cast<std::int32_t>(std::lround(d)));
    return out;
}

/// The keys of a Bruker procs file, as text; an empty field leaves its line out.
struct ProcsFields {
    std::string Bytordp;
    std::string Dtypp = "0";
    std::string Ftsize = "1000";
    std::string NcProc = "0";
    std::string Offset = "12.5";
    std::string Sf = "400.13";
    std::string Si = "1024";
    std::string SwP = "4000";
};

/// A procs file in the usual alphabetical key order, LF line ends.
inline std::string ProcsText(const ProcsFields& f) {
    std::string t = "##TITLE= Parameter file\n##JCAMPDX= 5.0\n##$ABSF1= 1000\n";
    auto key = [&t](const char* name, const std::string& value) {
        if (!value.empty()) t.append("##$").append(name).append("= ").append(value).append("\n");
    };
    key("BYTORDP", f.Bytordp);
    key("DTYPP", f.Dtypp);
    key("FTSIZE", f.Ftsize);
    key("LB", "0.3");
    key("NC_proc", f.NcProc);
    key("OFFSET", f.Offset);
    key("PHC0", "0");
    key("SF", f.Sf);
    key("SI", f.Si);
    key("SW_p", f.SwP);
    return t + "##END=\n";
}

/// The parameters of a VnmrJ procpar listing, as text; an empty field leaves it out.
struct ProcparFields {
    std::string Fn = "2000";
    std::string Rfl = "100";
    std::string Rfp = "20";
    std::string Sfrq = "400";
    std::string Sw = "4000";
};

/// A procpar listing: per parameter a name line, a value line ("1 value") and an enum line.
inline std::string ProcparText(const ProcparFields& f) {
    std::string t;
    auto param = [&t](const char* name, const std::string& value) {
        if (value.empty()) return;
        t.append(name)
            .append(" 1 1 1e+09 -1e+09 0 4 1 16385 1 64\n1 ")
            .append(value)
            .append(" \n0 \n");
    };
    param("fn", f.Fn);
    param("np", "4000");
    param("reffrq", "399.99");
    param("rfl", f.Rfl);
    param("rfp", f.Rfp);
    param("sfrq", f.Sfrq);
    param("sw", f.Sw);
    param("sw1", "100");
    return t;
}

/// A VnmrJ data file: a 32-byte file header, then per spectrum a 28-byte block header and
/// its floats.
inline std::string VnmrDataFile(const std::vector<std::vector<float>>& spectra, Endian order) {
    std::string out(32, '\0');
    for (const auto& s : spectra) out += std::string(28, '\0') + Words(s, order);
    return out;
}

}  // namespace kalvex::test
