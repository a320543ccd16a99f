#pragma once
// The whole-gateway load and save, the whole-file load and save and the default configurations.

class GateFilesPart
{
public:
    void tbLoadGateClick() {}
    void tbSaveGateClick() {}
    void tbLoadClick() {}
    void tbSaveClick() {}
    void mLoadOClick() {}
    void mSaveAsClick() {}
    void mDefaultClick() {}
    void Novkonfiguransoubor1Click() {}
};
