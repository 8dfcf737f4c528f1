#pragma once

#include <vector>

// The fixed vocabulary of the demo business, a hardware and grocery store in the Córdoba
// countryside: sections, families, what each family sells, brands, suppliers, customers.
// The seed generator combines these with its pseudo-random sequence into articles and prices.
namespace DemoCatalog {

struct Rubro
{
    int code; // written fitted to 4 ("   1")
    const char* name;
};

// A family that only groups others (the tree's inner nodes).
struct FamilyGroup
{
    const char* code;
    const char* name;
};

// A family that holds articles.
struct Family
{
    const char* code; // three letters per level; the parent is the code cut by three
    const char* name;
    int rubro;
    double vat; // VAT rate in percent
    const char* unit; // V_TA_Unidad code
    bool weighed; // sold by weight at the counter
    double costMin; // cost range of the plain variant, in pesos
    double costMax;
    std::vector<const char*> products;
    std::vector<const char*> variants; // size, measure or presentation; "" for none
};

struct Brand
{
    int code;
    const char* name;
    int rubro; // the section whose articles carry it
};

struct Party
{
    const char* name;
    const char* contact;
    const char* street;
    const char* town;
};

const std::vector<Rubro>& rubros();
const std::vector<FamilyGroup>& familyGroups();
const std::vector<Family>& families();
const std::vector<Brand>& brands();
const std::vector<Party>& suppliers();
const std::vector<Party>& customers();
const std::vector<const char*>& firstNames();
const std::vector<const char*>& lastNames();

} // namespace DemoCatalog
