#include "common/Lpc/LpcModuleTables.h"

namespace LPC {

// Rows 0 to 47 of the binaural table, which is also the whole of the 48-row table.
#define LPC_BIBI_ROWS_0_TO_47 \
    {"c8026cb9-ff5c-454e-beab-735bbdfd1492", "731://Bi/Bi3DREV/#0"}, \
    {"15ef0fdf-e99d-4e4e-bdde-efedafc7f408", "732://Bi/Bi3DREV/#1"}, \
    {"b562acd6-7eb2-4912-8dc9-222b8d765072", "733://Bi/Bi3DREV/#2"}, \
    {"7e91f9aa-7070-4ae6-bed1-7126ef9f00ec", "734://Bi/Bi3DREV/#3"}, \
    {"6b46c41d-b549-4338-9e14-4a27849fc18a", "735://Bi/Bi3DREV/#4"}, \
    {"de1e169d-fcbd-4299-8825-4124986bbaba", "736://Bi/Bi3DREV/#5"}, \
    {"780631d5-f0ef-4b4d-8fd1-9f201becfad9", "737://Bi/Bi3DREV/#6"}, \
    {"8d588416-9941-48ee-8832-20651e9c03ec", "738://Bi/Bi3DREV/#7"}, \
    {"604dd13f-67bc-42ad-9a19-d34cf8731ab6", "739://Bi/Bi3DREV/#8"}, \
    {"2aed2b6c-0455-4f1e-9999-d63716da9232", "740://Bi/Bi3DREV/#9"}, \
    {"a8e65412-0b49-4030-8c3b-7e1ff54d6250", "741://Bi/Bi3DREV/#10"}, \
    {"b67dcda4-cd3e-4e73-9217-8387100c74d5", "742://Bi/Bi3DREV/#11"}, \
    {"3d11fc1d-8489-4dda-a6a4-592272b66678", "743://Bi/Bi3DREV/#12"}, \
    {"096a9daa-4751-45ee-93ac-128878c94ebf", "744://Bi/Bi3DREV/#13"}, \
    {"acfbd299-31da-4037-8436-48f95b8bfb2b", "745://Bi/Bi3DREV/#14"}, \
    {"fab6709e-648d-4bba-b52a-551e6e66f4f9", "746://Bi/Bi3DREV/#15"}, \
    {"ed6f4a49-c48b-40e2-bb0b-31106847abc2", "477://Bi/BiUZ/#0"}, \
    {"2a248148-02bc-4127-bcb5-3491063156df", "478://Bi/BiUZ/#1"}, \
    {"9dbe1b3a-61bf-450a-9482-33ecbcf0cae1", "479://Bi/BiUZ/#2"}, \
    {"d7c54521-175d-483d-98c6-83a82032436a", "480://Bi/BiUZ/#3"}, \
    {"29074930-4ff8-4b68-83aa-2da77547e5a8", "481://Bi/BiUZ/#4"}, \
    {"f27059b4-f3da-4c49-b5fe-f82edcec7347", "482://Bi/BiUZ/#5"}, \
    {"ca8d3515-8464-4652-8c77-22f6fa622a04", "483://Bi/BiUZ/#6"}, \
    {"ba120750-29e3-4b84-9fbc-bdcd238dfedd", "484://Bi/BiUZ/#7"}, \
    {"5ba4c133-2a60-49e4-ada1-b732302e8f68", "485://Bi/BiUZ/#8"}, \
    {"097363cd-f587-40cd-9b52-4b1d6df5a5e7", "486://Bi/BiUZ/#9"}, \
    {"7ffd4ec4-efa1-4d36-99c6-30f4e96c09a1", "487://Bi/BiUZ/#10"}, \
    {"037f268b-8a92-4bc1-b2f4-1b10060d6442", "488://Bi/BiUZ/#11"}, \
    {"06806788-3645-49b5-a554-871ee67d78e2", "489://Bi/BiUZ/#12"}, \
    {"1b86daf6-5f73-447c-8507-c759e4b02521", "490://Bi/BiUZ/#13"}, \
    {"1aec1c8a-60b9-4868-b890-0a0077c388be", "491://Bi/BiUZ/#14"}, \
    {"d8b407e6-10f7-4f67-9edf-4f3bf369177d", "492://Bi/BiUZ/#15"}, \
    {"efee150d-8035-4a60-bcc1-e7dbeb57fdbf", "057://Bi/BiEx/#0"}, \
    {"2f51503a-5f94-4376-9326-05d17ef4c137", "058://Bi/BiEx/#1"}, \
    {"f2f4302a-93d7-4d8a-bb61-3f61e68b2e41", "059://Bi/BiEx/#2"}, \
    {"3772c3bb-6778-41f8-8e64-08386dbb6ea4", "060://Bi/BiEx/#3"}, \
    {"33d6aa99-90c2-44c4-a0ce-9363301624c8", "061://Bi/BiEx/#4"}, \
    {"6b3584a7-33bd-4796-b712-6b71e44d920b", "062://Bi/BiEx/#5"}, \
    {"ee5934d0-fc98-499c-a863-1820921d5614", "200://Bi/BiEx/#6"}, \
    {"58fbcfca-2837-4c41-9f17-820047560d3c", "201://Bi/BiEx/#7"}, \
    {"90e3e696-5547-4af6-9ee0-ad14c3822a21", "300://Bi/BiEx/#8"}, \
    {"541acc41-d19a-4820-af98-92bebb2a4fe9", "301://Bi/BiEx/#9"}, \
    {"bda72ccb-736b-486e-95f5-9ced30ea0200", "302://Bi/BiEx/#10"}, \
    {"d433d79d-96ee-46a8-bb01-9345c45468fe", "303://Bi/BiEx/#11"}, \
    {"5fb4541a-2d55-4ad6-8011-a1b55ee0d4aa", "455://Bi/BiEx/#12"}, \
    {"9b1ce4d3-92c9-42b9-b317-5893ae2155af", "456://Bi/BiEx/#13"}, \
    {"a8c64251-83af-4963-8643-68985a90fdd0", "457://Bi/BiEx/#14"}, \
    {"d5e311ec-3878-4fb3-a554-b3e2f990654f", "458://Bi/BiEx/#15"}

namespace iPT {
constexpr Module modules1[1] = {
    {"c1089e5e-01cf-4989-ae51-1b2aa180fc3a", "//i/PT/#0"},
};
constexpr Module modules2[1] = {
    {"bdd715b7-f806-44cb-a13c-2c6e3dd3bed1", "//i/PT/#1"},
};
}  // namespace iPT

namespace aVL2 {
constexpr Module modules[5] = {
    {"5e4fbe94-e651-4178-8f3a-6f50f63c3202", "//a/VL2/#0"},
    {"e4e489e3-f3d8-41f1-b858-92b855d0a89a", "//a/VL2/#1"},
    {"f595d5a4-3258-40b4-8713-191c04fcea39", "//a/VL2/#2"},
    {"79fb6f18-f2bf-4315-beec-3072a03e23a3", "//a/VL2/#3"},
    {"d4ea6f6b-2c77-4c19-af02-398a2e0cebd6", "//a/VL2/#4"},
};
}  // namespace aVL2

namespace oVL1 {
constexpr Module modules[8] = {
    {"11d8ad3d-760d-46b5-817e-09c1c78ca05e", "//o/VL1/#0"},
    {"09cab994-4c86-4de8-8ce1-80fbf579bb00", "//o/VL1/#1"},
    {"9f33f020-1302-42ed-aa78-3d112bc6e4c4", "//o/VL1/#2"},
    {"ded67710-e63e-425a-a7cf-d16d09506d47", "//o/VL1/#3"},
    {"d5fa1578-ea60-4aa7-b022-515e436c6379", "//o/VL1/#4"},
    {"bdcdf5b6-0379-4097-b7cf-4104b713ae49", "//o/VL1/#5"},
    {"a0287699-d923-4615-8157-94091df09a6c", "//o/VL1/#6"},
    {"187a8ba4-b562-43e2-87f4-4fedd1a45ea2", "//o/VL1/#7"},
};
}  // namespace oVL1

namespace oVL4 {
constexpr Module modules[4] = {
    {"d1a61e7c-4dc7-49cc-a76a-819151692d10", "//o/VL4/#0"},
    {"fc2abb8e-014b-46eb-b47b-b26ecbdf57b1", "//o/VL4/#1"},
    {"addc411f-f98e-460c-b246-12bdd84a1b47", "//o/VL4/#2"},
    {"076ec6b6-2b97-415e-a0a6-73c57bb70347", "//o/VL4/#3"},
};
}  // namespace oVL4

namespace aIB2 {
constexpr Module modules[6] = {
    {"085c18e6-d20e-4025-bebd-8e9a5a3c59ca", "//a/IB2/#0"},
    {"1eeb56b0-76f7-4a13-9133-c7bc652ef647", "//a/IB2/#1"},
    {"f9a64844-2890-443a-9cf1-d0ad82fdc1b4", "//a/IB2/#2"},
    {"615f1664-e79f-48ec-81d5-4b6d084f9ecd", "//a/IB2/#3"},
    {"b398db79-219d-4fd0-b999-38c6499ba255", "//a/IB2/#4"},
    {"1aa8ca90-7424-4c0f-b9ea-2f5f73d1af02", "//a/IB2/#5"},
};
}  // namespace aIB2

namespace LFESel {
constexpr Module modules[1] = {
    {"022f0b55-93b1-466c-a66b-daf6bede6783", "//LFE/Sel/#0"},
};
}  // namespace LFESel

namespace BiSel {
constexpr Module modules[2] = {
    {"e64b32d8-8c6d-4b69-86ef-8033a1a6be27", "//Bi/Sel/#2"},
    {"1fe44f7f-6854-4da5-b8c9-c0adace606fa", "//Bi/Sel/#3"},
};
}  // namespace BiSel

namespace o3IB {
constexpr Module modules[1] = {
    {"ec50b538-33a2-45fa-8044-93e2e3131bc6", "//o3/IB/#0"},
};
}  // namespace o3IB

namespace LFEHPF {
constexpr Module modules[1] = {
    {"3969fb33-eb58-4e8f-aad2-beb4da65d735", "//LFE/HPF/#0"},
};
}  // namespace LFEHPF

namespace LFELPF {
constexpr Module modules[1] = {
    {"7871ecf8-2144-4550-8f4a-cc6aa43c9d06", "//LFE/LPF/#0"},
};
}  // namespace LFELPF

namespace ThreeDRevPEQ {
constexpr Module modules[3] = {
    {"88aa3b77-77eb-497d-8835-461e7c842a46", "//3D/PEQ/#0"},
    {"5567f906-1938-4cf2-8607-948ab3d081e2", "//3D/PEQ/#1"},
    {"19ab014e-d087-4a23-89d2-0116918e8c98", "//3D/PEQ/#2"},
};
}  // namespace ThreeDRevPEQ

namespace BiBi {
constexpr Module modules4_48[48] = {LPC_BIBI_ROWS_0_TO_47};
constexpr Module modules[51] = {
    LPC_BIBI_ROWS_0_TO_47,
    {"55d7e706-8e4f-4802-9ca1-3ef605e6a80a", "304://Bi/BiSur/#0"},
    {"09dce300-b40a-48e3-af9e-df11dfa9dac8", "305://Bi/BiSur/#1"},
    {"0712db16-1d1b-4247-bf5c-bec20f7eef08", "423://Bi/BiSur/#2"},
};
}  // namespace BiBi

namespace BiIB {
constexpr Module modules4[1] = {
    {"14a22e9c-412e-4756-9eeb-6c0ae3b3afee", "//s/IB/#0"},
};
constexpr Module modules0_3[4] = {
    {"d3fbb57e-e958-4dbc-b643-8eb18f2847d2", "//3D/IB2/#0"},
    {"40e04c2d-d348-4edd-ac69-00eaf75abb37", "//3D/IB2/#1"},
    {"e02e63f8-7186-4a33-adfb-25238c95574b", "//3D/IB2/#2"},
    {"a2cf3ed5-055f-41be-ad6e-d0f493741e0c", "//3D/IB2/#3"},
};
}  // namespace BiIB

namespace EIB {
constexpr Module modules[8] = {
    {"8be5d560-827e-4e81-bc76-39ec582ebcf3", "//E/IB/#0"},
    {"1d8959e3-e564-443f-b9b1-1202922f9f8d", "//E/IB/#1"},
    {"8f8abf4d-e921-4568-b62f-24e4478aa2b2", "//E/IB/#2"},
    {"d893a259-465c-4d8f-95f5-9a5d070175aa", "//E/IB/#3"},
    {"e9637d77-c801-4ad7-bea2-a7eb2971875b", "//E/IB/#4"},
    {"8496c320-f868-4957-8b27-264d43121c78", "//E/IB/#5"},
    {"1e4eaba8-d87f-49b9-bc1d-ec4a5162492b", "//E/IB/#6"},
    {"cca4d29b-f477-4bb7-b684-81f5d2733f6f", "//E/IB/#7"},
};
}  // namespace EIB

namespace oIB2 {
constexpr Module modules[8] = {
    {"1e6b5e1a-a7d5-4477-b7ce-3ef3a12565e7", "//o/IB2/#0"},
    {"05cd2baf-c5cb-4301-ada7-34a502cd288c", "//o/IB2/#1"},
    {"c94c8971-adca-44c4-8f82-df4389fe894c", "//o/IB2/#2"},
    {"57c7dcc9-14cc-4a9a-88f5-0792f13d9ed2", "//o/IB2/#3"},
    {"b926cb12-8d13-4cdd-b4ec-688361e012db", "//o/IB2/#4"},
    {"c0c1c497-2c9e-4d56-b39a-0bc4778b0346", "//o/IB2/#5"},
    {"36d30bb0-0d52-48ff-bdd1-66ea71fc2ff0", "//o/IB2/#6"},
    {"cfe58afb-395e-4423-a287-86c296e29c10", "//o/IB2/#7"},
};
}  // namespace oIB2

namespace oIB3 {
constexpr Module modules[4] = {
    {"fc1d16ad-705d-4835-a82a-ebcefc9fc472", "//o/IB3/#0"},
    {"e6113948-26ec-444b-b3d2-4f202b9242c3", "//o/IB3/#1"},
    {"c00ed39e-34f8-489a-9088-76ccb84ad853", "//o/IB3/#2"},
    {"c7f98041-6068-49f7-acf8-ce1868c3e453", "//o/IB3/#3"},
};
}  // namespace oIB3

namespace LFEIB {
constexpr Module modules[8] = {
    {"462747dd-1f06-46e6-94bd-07dd3ef05967", "//LFE/IB/#0"},
    {"91b82b8d-8e95-4618-96a9-cd935898d2f3", "//LFE/IB/#1"},
    {"6afb5157-aa2a-4859-87de-ab70086004ea", "//LFE/IB/#2"},
    {"7e038dd1-c0a8-4b90-91b7-bb5b44fa46ba", "//LFE/IB/#3"},
    {"83c994d2-4ee6-4400-82c4-30a146138db0", "//LFE/IB/#4"},
    {"6612a425-9a18-4dad-85ad-234bf5451173", "//LFE/IB/#5"},
    {"acbe811b-0845-4f8b-8cba-b330c27871b4", "//LFE/IB/#6"},
    {"e15266b1-d1cc-4651-b8e9-f2ba40b26be8", "//LFE/IB/#7"},
};
}  // namespace LFEIB

namespace ThreeDVL1 {
constexpr Module modules[8] = {
    {"efe390ed-35d8-4960-9f89-d40a7a7938bf", "//3D/VL1/#0"},
    {"f9fb91a0-53d4-47f2-ac41-6404fd7b2a7c", "//3D/VL1/#1"},
    {"bb17c7c9-3043-44bd-9823-4dffba8ff0e1", "//3D/VL1/#2"},
    {"e772404f-c46e-4522-bbcf-2ea7c2221f23", "//3D/VL1/#3"},
    {"d55e6a02-b7cb-4479-a6b0-bea78fd28bf8", "//3D/VL1/#4"},
    {"abf33aab-89c4-42be-a327-f756cbf32c6c", "//3D/VL1/#5"},
    {"8c3cb1d2-a3b9-4859-98c9-dac7480763c9", "//3D/VL1/#6"},
    {"85bc69d0-b403-4363-9c90-4da9d9bfd775", "//3D/VL1/#7"},
};
}  // namespace ThreeDVL1

namespace ThreeDVL2 {
constexpr Module modules[16] = {
    {"a5ec6ff9-6d1e-4ea1-a6ab-8d9da379531f", "//3D/VL2/#0"},
    {"3ccab9e6-7d37-4767-9cf8-20c439108927", "//3D/VL2/#1"},
    {"2c7f551a-0366-4452-8a17-caf861e44e29", "//3D/VL2/#2"},
    {"8e151176-5e07-4710-8438-739986eb0572", "//3D/VL2/#3"},
    {"ea354459-830d-463c-9f1e-812b03a6270d", "//3D/VL2/#4"},
    {"7518190e-0c52-4661-9a37-613d7301181d", "//3D/VL2/#5"},
    {"3a2decb8-37da-4247-80c9-602207d7e887", "//3D/VL2/#6"},
    {"d53234e0-1481-4aee-aa5e-fd9f375ddcbb", "//3D/VL2/#7"},
    {"e2e77337-7457-4e98-be47-84d7ac46eb72", "//3D/VL2/#8"},
    {"6c54dc84-e35b-495d-b24b-f66da5d0ee03", "//3D/VL2/#9"},
    {"87338a9c-0cca-4f9e-b728-762215229ced", "//3D/VL2/#10"},
    {"0ddfdb2f-7c94-408a-b197-d7445c9561cc", "//3D/VL2/#11"},
    {"e9482695-3ee1-4889-9852-58b650d4d047", "//3D/VL2/#12"},
    {"fd5120ff-9b77-4790-ac24-df6742cb91bc", "//3D/VL2/#13"},
    {"8a0d0e4d-c8db-4eb4-9eef-7b7604dda8de", "//3D/VL2/#14"},
    {"7b451578-29cc-4d9f-bab3-7e5365df780d", "//3D/VL2/#15"},
};
}  // namespace ThreeDVL2

namespace oOBA {
constexpr Module modules[8] = {
    {"c1160761-765d-4075-b12c-6869580c7984", "//o/OBA/#0"},
    {"0e325f83-6888-4841-a062-e7e2a4195bf9", "//o/OBA/#1"},
    {"04d03d43-7cbd-44fd-ad80-cff35424015e", "//o/OBA/#2"},
    {"837039fa-5af4-4d4f-9ea3-e120eb30ac35", "//o/OBA/#3"},
    {"453f9e00-1521-4579-97fe-9a0167ed8875", "//o/OBA/#4"},
    {"34b336ce-178e-4935-b813-7aae94611ad8", "//o/OBA/#5"},
    {"0d5816db-5210-487a-ab5e-100b9b7d1bb1", "//o/OBA/#6"},
    {"b4b98ce9-f265-4d76-b0d4-3a8e40dc5579", "//o/OBA/#7"},
};
}  // namespace oOBA

namespace ThreeDErMtx {
constexpr Module modules[7] = {
    {"a8d023d7-3879-48e7-aa75-482437dd553b", "//3D/ErMtx/#0"},
    {"a0e5c72c-6954-40aa-af7f-734ccc1db613", "//3D/ErMtx/#1"},
    {"2b5600eb-3d71-4acd-8c55-e1f1de9d06d6", "//3D/ErMtx/#2"},
    {"1c3acc92-7708-404c-b3ff-eff33b6fa2a0", "//3D/ErMtx/#3"},
    {"e5ccbbb3-fee2-4486-9222-4f3278dfa861", "//3D/ErMtx/#4"},
    {"a38d9eef-d236-42c2-93aa-06dd10607d37", "//3D/ErMtx/#5"},
    {"329ec4c3-7497-4222-9e78-7c1ef4b8c0cd", "//3D/ErMtx/#6"},
};
}  // namespace ThreeDErMtx

namespace ThreeDSpMapper {
constexpr Module modules[1] = {
    {"444f7f34-095a-49bf-8751-21ea77d2c8cb", "//3D/SpMapper/#0"},
};
}  // namespace ThreeDSpMapper

namespace ThreeDSpWeighter {
constexpr Module modules[1] = {
    {"1655d59b-8ea0-46e0-9857-92ece8395ae0", "//3D/SpWeighter/#0"},
};
}  // namespace ThreeDSpWeighter

namespace ThreeDObjMapper {
constexpr Module modules[8] = {
    {"b99ecb2b-14a9-4c93-8b9b-718f82a6487f", "//3D/ObjMapper/#0"},
    {"598f3562-7aa4-42d3-93fe-43b07548d713", "//3D/ObjMapper/#1"},
    {"32691407-8ff1-4fa6-8cdd-343d9ef538bb", "//3D/ObjMapper/#2"},
    {"8b7a9952-a80b-455e-9aa8-006781827164", "//3D/ObjMapper/#3"},
    {"157a4e5c-2c92-48d3-b501-37dd7977e99e", "//3D/ObjMapper/#4"},
    {"36ecccca-95e7-4231-aa3d-ebdfdd27b7d1", "//3D/ObjMapper/#5"},
    {"c61bfdb2-a966-4c1a-b8e5-cf56b6d0b1ec", "//3D/ObjMapper/#6"},
    {"2d362ecb-a167-449b-99f3-f9d31424cba3", "//3D/ObjMapper/#7"},
};
}  // namespace ThreeDObjMapper

namespace ThreeDFIR16kx4 {
constexpr Module modules[2] = {
    {"d5344928-66f3-4fc8-9a60-e52fe34b30a7", "//3D/FIR16kx4/#0"},
    {"bf3a8151-2dd2-4c3a-b108-3e4c6149b8da", "//3D/FIR16kx4/#1"},
};
}  // namespace ThreeDFIR16kx4

namespace ThreeDSREV {
constexpr Module modules[4] = {
    {"97ab976a-d518-4403-87cd-82524fb48a8a", "//3D/SREV/#0"},
    {"0866b925-34f2-4c0b-828f-7ed894751e7e", "//3D/SREV/#1"},
    {"378af3cf-2078-4579-b97a-80125fb20537", "//3D/SREV/#2"},
    {"8978a086-5ddc-4ae9-9e28-2cb53d6de7e9", "//3D/SREV/#3"},
};
}  // namespace ThreeDSREV

namespace ThreeDIB0 {
constexpr Module modules[1] = {
    {"3ec8b995-7c98-41b7-8bed-a26355a62cca", "//3D/IB0/#0"},
};
}  // namespace ThreeDIB0

namespace ThreeDIB1 {
constexpr Module modules[1] = {
    {"c7aff709-78b8-400f-96e8-a9f67447b140", "//3D/IB1/#0"},
};
}  // namespace ThreeDIB1

namespace oVL3 {
constexpr Module modules[4] = {
    {"3f390c73-726d-4068-9078-8ef3b139b165", "//o/VL3/#0"},
    {"856df52d-fd6d-4b44-9632-6075871cc977", "//o/VL3/#1"},
    {"5958dbd2-ec52-49b3-9606-9cf702c7e7e9", "//o/VL3/#2"},
    {"185f8fcd-0657-4c4c-99da-21cf5c8bcd67", "//o/VL3/#3"},
};
}  // namespace oVL3

namespace o3VL {
constexpr Module modules[1] = {
    {"1b0f84d4-b1df-4d53-bf56-4c97929888e6", "//o3/VL/#0"},
};
}  // namespace o3VL

namespace oSW64 {
constexpr Module modules[1] = {
    {"52493817-d645-4d97-a593-c7f8d6ad97bf", "//o/SW64/#0"},
};
}  // namespace oSW64

namespace oIB4 {
constexpr Module modules[4] = {
    {"b0d66de9-25c7-4a52-be8f-0062d816e425", "//o/IB4/#0"},
    {"ec935975-fb63-4cbe-8231-3405149feb94", "//o/IB4/#1"},
    {"8ecc84d4-b01c-4915-839a-4e32ca22c161", "//o/IB4/#2"},
    {"78f48a13-7ee2-4ea8-a4e2-f87f64821328", "//o/IB4/#3"},
};
}  // namespace oIB4

namespace obWG {
constexpr Module modules[1] = {
    {"c5fdc807-5c31-4daa-ad4f-c634589c28fd", "//obWG/#0"},
};
}  // namespace obWG

namespace oscPT {
constexpr Module modules[1] = {
    {"8b9abfbf-839b-447c-a457-92174bf7aca6", "//osc/PT/#0"},
};
}  // namespace oscPT

namespace o2PT {
constexpr Module modules[1] = {
    {"cd4b2ebf-d4e1-4274-b4c9-53445c1e9be4", "//o2/PT/#0"},
};
}  // namespace o2PT

#undef LPC_BIBI_ROWS_0_TO_47

}  // namespace LPC
