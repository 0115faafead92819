// The file signature record, first in every design file; also the base of
// the sections, which carry the signature without archiving it.
#pragma once

#include <string>

#include "platform/core/Archive.h"

constexpr const char* kPwrQuorraSignature = "Halverd-PowerQuorra";

class CPwrQuorraObject : public fw::Object {
public:
    CPwrQuorraObject() { CPwrQuorraObject::SetDefaults(); }
    static const char* StaticClassName() { return "CPwrQuorraObject"; }
    const char* GetClassName() const override { return StaticClassName(); }

    virtual void SetDefaults() { m_strSignature = kPwrQuorraSignature; }
    void Serialize(fw::Archive& ar) override;

    const std::string& GetSignature() const { return m_strSignature; }

protected:
    std::string m_strSignature;
};
