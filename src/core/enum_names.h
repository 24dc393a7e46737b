#pragma once

#include <QLatin1StringView>
#include <QList>
#include <QStringView>
#include <array>
#include <cstddef>
#include <optional>

namespace nimbara {

// The raw names of an enumeration whose cases are numbered 0, 1, 2… in declaration order:
// name lookup in both directions and the list of every case. Raw names match exactly.
template <typename Enum, std::size_t N> class EnumNames {
public:
    constexpr explicit EnumNames(std::array<QLatin1StringView, N> names) : names_(names) {}

    QLatin1StringView rawValue(Enum value) const {
        const auto index = static_cast<std::size_t>(value);
        return index < N ? names_[index] : QLatin1StringView();
    }

    std::optional<Enum> fromRaw(QStringView raw) const {
        for (std::size_t i = 0; i < N; ++i) {
            if (raw == names_[i]) {
                return static_cast<Enum>(i);
            }
        }
        return std::nullopt;
    }

    QList<Enum> allCases() const {
        QList<Enum> cases;
        cases.reserve(N);
        for (std::size_t i = 0; i < N; ++i) {
            cases.append(static_cast<Enum>(i));
        }
        return cases;
    }

private:
    std::array<QLatin1StringView, N> names_;
};

} // namespace nimbara
