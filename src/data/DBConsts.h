#pragma once

// The texts of the data-access layer's errors. They are shown to the user as written here.

inline constexpr const char* SDataSetClosed = "Não é possível realizar esta operação em um arquivo fechado";
inline constexpr const char* SDataSetOpen = "Não é possível realizar esta operação em um arquivo aberto";
inline constexpr const char* SDataSetUnidirectional = "Operação não permitida em um dataset unidirecional";
inline constexpr const char* SRecordNotFound = "Registro não encontrado";
inline constexpr const char* SCircularDataLink = "Ligações de dados circulares não são permitidas";
inline constexpr const char* SDataSourceChange = "DataSource não pode ser atualizado";
inline constexpr const char* SNotEditing = "Arquivo não está em modo de edição ou inserção";

inline constexpr const char* SFieldTypeMismatch = "Campo '%s' não é do tipo esperado";
inline constexpr const char* SFieldSizeMismatch = "Tamanho sem combinação para campo ' %s ', esperando: %d atual: %d";
inline constexpr const char* SInvalidCalcType = "Campo '%s' não pode ser um campo calculado ou lookup";
inline constexpr const char* SDataSetMissing = "Campo '%s' não tem arquivo";
inline constexpr const char* SFieldAccessError = "Não é possível acessar o campo '%s' do tipo %s";
inline constexpr const char* SFieldNameMissing = "Nome do campo ausente";
inline constexpr const char* SDuplicateFieldName = "Nome de campo duplicado '%s'";
inline constexpr const char* SInvalidFieldSize = "Tamanho de campo inválido";
// The value, the field's display name, the lowest and the highest value allowed.
inline constexpr const char* SFieldRangeError = "O valor %s está fora do intervalo do campo '%s' (de %s a %s)";
// First placeholder: the dataset's name, or its class name when it has none; second: the requested field name.
inline constexpr const char* SFieldNotFound = "%s: Campo '%s' não encontrado";

inline constexpr const char* SInvalidFieldKind = "FieldKind inválido para o campo '%s'";
inline constexpr const char* SUnsupportedFieldType = "Campo '%s' é de um tipo não suportado (%s)";
inline constexpr const char* SInvalidBookmark = "Marcador inválido";
inline constexpr const char* SAbstractSlot = "Operação abstrata chamada: %s.%s";
