SELECT TOP 200 * FROM vlastni WHERE 
Prijmeni LIKE "Čer*"
 AND (Jmeno_1 LIKE "P*")
 AND ((domu_Obec LIKE "Br*") OR (zam_Obec LIKE "Br*") OR (jine_Obec LIKE "Br*"))