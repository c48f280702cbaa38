#include "objects/makeobj.h"

#include <new>

#include "core/alloc.h"
#include "resources/resource.h"

namespace {

short MakeObject(BYTE idType, int word, void* payload, OBJ_BASECLASS** result, CCpClient* client) {
  auto* value = StructNew<OBJ_BASECLASS>();
  if (!value) return ReportError(client->pcp, IDS_ERR_CREATEOBJECT);
  value->idType = idType;
  if (word == 1) value->pWord1 = payload;
  if (word == 2) value->pWord2 = payload;
  if (word == 3) value->pWord3 = payload;
  *result = value;
  return 0;
}

}  // namespace

short MakeStructureObject(CSDRAWREC* rec, OBJ_BASECLASS** result, CCpClient* client) {
  return MakeObject(GetDllInfo(client)->idStrucType, 3, rec, result, client);
}

short MakeWindowObject(void* window, OBJ_BASECLASS** result, CCpClient* client) {
  return MakeObject(GetDllInfo(client)->idWindowType, 1, window, result, client);
}

short MakeMetafileObject(void* payload, OBJ_BASECLASS** result, CCpClient* client) {
  return MakeObject(GetDllInfo(client)->idMetaType, 2, payload, result, client);
}

short CopyTypeName(LPCSTR name, intptr_t p1, intptr_t p2) {
  if (p1 && p2 > 0) CopyText(reinterpret_cast<char*>(p1), name, static_cast<size_t>(p2));
  return 0;
}
