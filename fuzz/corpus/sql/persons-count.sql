SELECT 
Osoby.ID as ID, Titul, Jmeno, Prijmeni, Ulice, CP, Obec, Cast, PSC, UTO, Poznamka.Poznamka, Osoby.euroISDN, Osoby.Tel_a, Osoby.TelExt_a FROM UTO INNER JOIN (Ulice INNER JOIN (Titul INNER JOIN (PSC INNER JOIN (Prijmeni INNER JOIN (Poznamka INNER JOIN (Obec INNER JOIN (Jmeno INNER JOIN (CP INNER JOIN (Cast INNER JOIN OSOBY ON Cast.ID = OSOBY.ID_Cast) ON CP.ID = OSOBY.ID_CP) ON Jmeno.ID = OSOBY.ID_Jmeno) ON Obec.ID = OSOBY.ID_Obec) ON Poznamka.ID = OSOBY.ID_Poznamka) ON Prijmeni.ID = OSOBY.ID_Prijmeni) ON PSC.ID = OSOBY.ID_PSC) ON Titul.ID = OSOBY.ID_Titul) ON Ulice.ID = OSOBY.ID_Ulice) ON UTO.ID = OSOBY.ID_UTO 
WHERE
(Prijmeni.Prijmeni LIKE "Dvo[rř]ák")
 AND (Jmeno.Jmeno LIKE "J?n")