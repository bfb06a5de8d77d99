#include "app/DefaultProductNames.h"

#include "fw/Application.h"

#include <array>

namespace {

struct NamePair {
    const char* spanish;
    const char* english;
};

constexpr std::array<NamePair, DefaultProductNames::Count> Names{{
    {"", ""},
    {"CAFE", "COFFEE"},
    {"CAFE DESCAFEINADO", "DESC COFFEE"},
    {"LECHE", "MILK"},
    {"CHOCOLATE", "CHOCOLATE"},
    {"TE", "TEA"},
    {"INFUSION / SOPA", "INFUSION / SOUP"},
    {"AZUCAR", "SUGAR"},
    {"SHALEB", "SHALEB"},
    {"TE A LA MENTA", "MINT TEA"},
    {"NUTS", "NUTS"},
    {"TE AL LIMON", "LEMON TEA"},
    {"VAINILLA", "VANILLA"},
    {"NARANJA", "ORANGE"},
    {"", ""},
    {"", ""},
    {"", ""},
    {"", ""},
    {"", ""},
    {"", ""},
}};

bool known(int productType) { return productType >= 0 && productType < DefaultProductNames::Count; }

} // namespace

QByteArray DefaultProductNames::Spanish(int productType)
{
    return known(productType) ? QByteArray(Names[std::size_t(productType)].spanish) : QByteArray();
}

QByteArray DefaultProductNames::English(int productType)
{
    return known(productType) ? QByteArray(Names[std::size_t(productType)].english) : QByteArray();
}

QByteArray GetDefaultTypeName(int productType)
{
    const bool english = fw::ProgramWide<fw::Application>::exists()
        && fw::Application::get().profile().GetInt(QStringLiteral("Ormi"), QStringLiteral("Idioma"), 0) != 0;
    return english ? DefaultProductNames::English(productType) : DefaultProductNames::Spanish(productType);
}
