#pragma once

// The texts of the errors of sessions, databases and queries. They are shown to the user as written here.

inline constexpr const char* SSessionNameMissing = "Nome da seção ausente";
inline constexpr const char* SInvalidSessionName = "Nome da seção '%s' inválido";
inline constexpr const char* SDatabaseNameMissing = "Nome da seção ausente";
inline constexpr const char* SDatabaseOpen = "Não é possível realizar esta operação em um banco de dados aberto";
inline constexpr const char* SSessionActive = "Não é possível realizar esta operação em uma seção ativa";
inline constexpr const char* SLoginError = "Não é possível conectar com o banco de dados '%s'";
inline constexpr const char* SNoSQLStatement = "Nenhuma declaração SQL disponível";
inline constexpr const char* SHandleError = "Erro ao criar handle do cursor";
inline constexpr const char* SNoParameterValue = "Nenhum valor para o parâmetro '%s'";
inline constexpr const char* SParameterNotFound = "Parâmetro '%s' não encontrado";
inline constexpr const char* SKeyValueCount = "O número de valores de pesquisa difere do número de campos";
