#pragma once

class BenchProgram;
class CCfg;
class COrmiDoc;

// The catalogues and full documents the benchmarks measure: 24 products of 12 devices each.
namespace BenchDocuments {

constexpr int Products = 24;
constexpr int DevicesPerProduct = 12;

// The catalogue and set-up tables a compile reads: twelve device types, three set-up rows
// with a product.
void prepareCompile(BenchProgram& program);
// The document made new and filled for a compile or a write. Classic: twelve 6-byte devices
// and a two-letter name fill 79 of the record's 80 bytes.
void fillClassicForCompile(COrmiDoc& document);
// T38A: a dispenser, the coffee group and ten hot waters fill 98 of the 100 bytes.
void fillT38AForCompile(COrmiDoc& document);

// Twelve device types named "TIPO n": six dispensers wired to six dispenser rows, three
// whippers and three water valves.
void setWiredDeviceTypes(CCfg& cfg);

} // namespace BenchDocuments
