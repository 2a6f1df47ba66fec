#pragma once
// The device's link engine: the 48 link entries of the device database, each bound to the handler
// that keeps its dependent parameters consistent, with the position converters those handlers
// share. Built with the device-control thread before any database exists, resolved by initialize
// once the device database holds its components, then installed with pdb_setLink; the table is
// only read afterwards.
#include <memory>

#include "common/Lpc/PDBLink.h"
#include "jlib/jlib_result.h"

namespace LPC {

class PDBLinkConverterList;
class PDBLinkPair;
class PDBLinkSolo;
class PDBLinkCoordinateTransformation;
class PDBLinkBinaural;
class PDBLinkSpeakerZone;
class PDBLinkOscillator;
class PDBLink3DRevPattern;
class PDBLinkJustCopy;

class PDBLinkUz : public PDBLink {
public:
    // Creates the converters and the handlers and fills the table; no database access. When one of
    // them cannot be allocated the table stays empty and initialize fails.
    PDBLinkUz();
    ~PDBLinkUz() override;

    // 0x80000000 when the handlers could not be created; else PDBLink::initialize (an address the
    // definitions do not declare stops it with 0x80000000, and the engine must not be installed).
    [[nodiscard]] JLIB::JResult initialize();

private:
    // Declared in the order the constructor creates them; the destructor frees the users of the
    // converter list before the list.
    std::unique_ptr<PDBLinkConverterList> m_pConverters;
    std::unique_ptr<PDBLinkPair> m_pPair;
    std::unique_ptr<PDBLinkSolo> m_pSolo;
    std::unique_ptr<PDBLinkCoordinateTransformation> m_pCoordinateTransformation;
    std::unique_ptr<PDBLinkBinaural> m_pBinaural;
    std::unique_ptr<PDBLinkSpeakerZone> m_pSpeakerZone;
    std::unique_ptr<PDBLinkOscillator> m_pOscillator;
    std::unique_ptr<PDBLink3DRevPattern> m_p3DRevPattern;
    std::unique_ptr<PDBLinkJustCopy> m_pJustCopy;
    bool m_created;
};

}  // namespace LPC
