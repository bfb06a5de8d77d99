#pragma once

class CCfg;

// Twelve device types of the classic codes (dispenser, whipper, water valve, in turn) with
// sub-codes 1..4, so that the devices a fuzz input holds find their types.
void FillFuzzDeviceTypes(CCfg& cfg);
